// The on-disk layout of the device table and its protocol codes, read and written
// byte by byte in little-endian order: the table may sit at any offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace morvex {

inline constexpr std::size_t kImageBufferSize = 65536;

// EntryTable: marker (11) + terminator (1) + capacity (int16) + count (int16), then slots.
inline constexpr std::string_view kTableMarker = "$DOSUSBTBL0";
inline constexpr std::size_t kMarkerSize = 12;  // the marker and its zero terminator
inline constexpr std::size_t kCapacityOffset = 12;
inline constexpr std::size_t kCountOffset = 14;
inline constexpr std::size_t kEntryHeaderSize = 16;
inline constexpr std::size_t kEntrySize = 8;

// DeviceEntry: vid (uint16), pid (uint16), code (uint8), three bytes the program never
// interprets or writes.
inline constexpr std::size_t kVidOffset = 0;
inline constexpr std::size_t kPidOffset = 2;
inline constexpr std::size_t kCodeOffset = 4;
inline constexpr std::size_t kRestOffset = 5;
inline constexpr std::size_t kRestSize = 3;
static_assert(kRestOffset + kRestSize == kEntrySize);
static_assert(kCountOffset + 2 == kEntryHeaderSize);
static_assert(kTableMarker.size() + 1 == kMarkerSize);

// The code byte of an entry: bits 0-3 the kind, bit 6 the firmware variant of kind 1,
// bit 7 write protect; bits 4-5 are written as 0.
using ProtocolCode = std::uint8_t;

struct DeviceEntry {
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    ProtocolCode code = 0;
    std::array<std::uint8_t, kRestSize> rest{};

    bool operator==(const DeviceEntry&) const = default;
};

// ProtocolCode bits.
inline constexpr std::uint8_t kKindMask = 0x0F;
inline constexpr std::uint8_t kFirmwareBit = 0x40;
inline constexpr std::uint8_t kWriteProtectBit = 0x80;

// Positions of the protocol list. The list order does not follow the kind numbers:
// position 3 writes kind 4 and position 4 writes kind 3.
enum class ProtocolChoice : int {
    ignore = 0,
    cbi = 1,
    cbiFirmware = 2,
    initializer = 3,
    bulkOnly = 4,
    cbNonInterrupt = 5,
};
inline constexpr int kProtocolChoiceCount = 6;

// The choice a code byte shows: kind 1 splits on bit 6; bits 4-5 and 7 are ignored.
ProtocolChoice DecodeProtocol(ProtocolCode code);

// The code byte a choice writes (bit 7 clear), or nothing for a position that writes none
// ("--- Ignore ---", no selection, anything outside 0-5).
std::optional<ProtocolCode> EncodeProtocol(int choice);

inline bool IsWriteProtected(ProtocolCode code) {
    return (code & kWriteProtectBit) != 0;
}

// Little-endian access at any offset.
inline std::uint16_t ReadU16LE(std::span<const std::uint8_t, 2> bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}
inline std::int16_t ReadS16LE(std::span<const std::uint8_t, 2> bytes) {
    return static_cast<std::int16_t>(ReadU16LE(bytes));
}
inline void WriteU16LE(std::span<std::uint8_t, 2> bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

// The first offset where the marker and its zero terminator lie wholly inside `bytes`, or 0
// (also for a marker at offset 0, which by the table's convention means "no table").
// memchr finds candidates at memory speed; only they are compared in full.
std::int32_t FindTableMarker(std::span<const std::uint8_t> bytes);

// The slot whose first byte is at `offset` in `bytes`; bytes past the end read as zero.
DeviceEntry ReadDeviceEntry(std::span<const std::uint8_t> bytes, std::size_t offset);

// The table's header: capacity and count as stored, signed 16-bit, widened.
struct EntryTable {
    int capacity = 0;
    int count = 0;
};

// The header of a table whose marker sits at `tableOffset` in `bytes`; bytes past the end
// read as zero.
EntryTable ReadEntryTable(std::span<const std::uint8_t> bytes, std::size_t tableOffset);

// Whether a table at `tableOffset` can be edited safely: capacity and count not negative,
// count not above capacity, and every slot inside `bytes`.
bool IsTableConsistent(std::span<const std::uint8_t> bytes, std::size_t tableOffset);

}  // namespace morvex
