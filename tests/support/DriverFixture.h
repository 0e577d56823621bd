// DriverFixture: writes small driver images in a line, for tests and the sample driver.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace morvex::test {

// Bytes 5-7 of a slot as the fixture writes them unless told otherwise: non-zero, so a
// test sees any write that strays into them.
inline constexpr std::array<std::uint8_t, 3> kDefaultRest{0xA5, 0x5A, 0xC3};

class DriverFixture {
  public:
    DriverFixture();

    // Length of the file in bytes (default 4096). Bytes not set otherwise carry a fixed
    // pattern that holds no marker, so stray writes show.
    DriverFixture& size(std::size_t bytes);
    // Where the table's marker goes (default 0x200); std::nullopt for no table at all.
    DriverFixture& tableAt(std::optional<std::size_t> offset);
    // The byte after the eleven marker characters (0 makes a valid marker).
    DriverFixture& terminator(std::uint8_t byte);
    DriverFixture& capacity(std::int16_t slots);
    // The stored count; by default the number of entries added.
    DriverFixture& count(std::int16_t stored);
    // Stores the header fields as raw 16-bit words (0xFFFF for -1 and so on).
    DriverFixture& rawHeader(std::uint16_t capacityWord, std::uint16_t countWord);
    // The next entry, in slot order.
    DriverFixture& entry(std::uint16_t vid, std::uint16_t pid, std::uint8_t code,
                         std::array<std::uint8_t, 3> rest = kDefaultRest);
    // Any slot, used or not (also past the capacity: the 8 bytes after a full table).
    DriverFixture& slot(int index, std::uint16_t vid, std::uint16_t pid, std::uint8_t code,
                        std::array<std::uint8_t, 3> rest = kDefaultRest);
    // A further marker, e.g. a second table that must be ignored.
    DriverFixture& extraMarker(std::size_t offset, std::uint8_t terminatorByte = 0);
    // Raw bytes anywhere (they win over everything else).
    DriverFixture& bytesAt(std::size_t offset, std::vector<std::uint8_t> bytes);

    std::vector<std::uint8_t> bytes() const;
    // Writes the image to `path` (replacing it) and returns `path`.
    std::string write(const std::string& path) const;

    // Absolute offset of slot `index` of the table.
    std::size_t slotOffset(int index) const;
    std::size_t tableOffset() const { return m_tableAt.value_or(0); }

  private:
    struct Slot {
        std::uint16_t vid;
        std::uint16_t pid;
        std::uint8_t code;
        std::array<std::uint8_t, 3> rest;
    };

    std::size_t m_size = 4096;
    std::optional<std::size_t> m_tableAt = 0x200;
    std::uint8_t m_terminator = 0;
    std::int16_t m_capacity = 16;
    std::optional<std::int16_t> m_count;
    std::optional<std::pair<std::uint16_t, std::uint16_t>> m_rawHeader;
    int m_entries = 0;
    std::map<int, Slot> m_slots;
    std::vector<std::pair<std::size_t, std::uint8_t>> m_extraMarkers;
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> m_raw;
};

// The file's bytes, whole.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace morvex::test
