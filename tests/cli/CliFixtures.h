// Drivers the command-line tests share, and the bytes an edit is expected to leave on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/DriverFixture.h"

namespace morvex::test {

inline constexpr std::size_t kTableAt = 1234;
// Longer than the 65,536 bytes that are read, so the tail shows any write past them.
inline constexpr std::size_t kLongFile = 70000;

// Four entries of different kinds in a table of 16 slots.
inline DriverFixture StandardDriver() {
    return DriverFixture()
        .size(kLongFile)
        .tableAt(kTableAt)
        .capacity(16)
        .entry(0x04B4, 0x0001, 0x03)   // 0: BULK Only
        .entry(0x1234, 0x0002, 0x81)   // 1: CBI, write-protected
        .entry(0x0D7D, 0x0100, 0x07)   // 2: a kind of no protocol
        .entry(0x0ABC, 0x0010, 0x42);  // 3: CB with a stray firmware bit
}

// `bytes` with the first five bytes of slot `slot` of `fixture`'s table replaced.
inline std::vector<std::uint8_t> WithSlot(std::vector<std::uint8_t> bytes,
                                          const DriverFixture& fixture, int slot, std::uint16_t vid,
                                          std::uint16_t pid, std::uint8_t code) {
    const std::size_t at = fixture.slotOffset(slot);
    bytes.at(at) = static_cast<std::uint8_t>(vid & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(vid >> 8);
    bytes.at(at + 2) = static_cast<std::uint8_t>(pid & 0xFF);
    bytes.at(at + 3) = static_cast<std::uint8_t>(pid >> 8);
    bytes.at(at + 4) = code;
    return bytes;
}

// `bytes` with the stored count of `fixture`'s table replaced.
inline std::vector<std::uint8_t> WithCount(std::vector<std::uint8_t> bytes,
                                           const DriverFixture& fixture, std::uint16_t count) {
    const std::size_t at = fixture.tableOffset() + 14;
    bytes.at(at) = static_cast<std::uint8_t>(count & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(count >> 8);
    return bytes;
}

// `args` with "{driver}" replaced by `driver` and "{dir}" by `dir`.
inline std::vector<std::string> Expand(std::vector<std::string> args, const std::string& driver,
                                       const std::string& dir) {
    for (auto& arg : args) {
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"{driver}", driver}, {"{dir}", dir}}) {
            for (auto at = arg.find(key); at != std::string::npos; at = arg.find(key)) {
                arg.replace(at, key.size(), value);
            }
        }
    }
    return args;
}

}  // namespace morvex::test
