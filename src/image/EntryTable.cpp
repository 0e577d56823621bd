// The table's header and marker, and the fixed mapping between code bytes and protocol list
// positions.
#include "image/EntryTable.h"

#include <array>
#include <cstring>

namespace morvex {
namespace {

// Byte `at` of `bytes`, or 0 past the end.
std::uint8_t ByteAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at < bytes.size() ? bytes[at] : 0;
}

std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t at) {
    const std::array<std::uint8_t, 2> pair{ByteAt(bytes, at), ByteAt(bytes, at + 1)};
    return ReadU16LE(pair);
}

}  // namespace

DeviceEntry ReadDeviceEntry(std::span<const std::uint8_t> bytes, std::size_t offset) {
    DeviceEntry entry;
    entry.vid = U16At(bytes, offset + kVidOffset);
    entry.pid = U16At(bytes, offset + kPidOffset);
    entry.code = ByteAt(bytes, offset + kCodeOffset);
    for (std::size_t i = 0; i < kRestSize; ++i) {
        entry.rest[i] = ByteAt(bytes, offset + kRestOffset + i);
    }
    return entry;
}

std::int32_t FindTableMarker(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kMarkerSize) {
        return 0;
    }
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const lastStart = begin + (bytes.size() - kMarkerSize);
    const std::uint8_t* at = begin;
    while (at <= lastStart) {
        const void* hit =
            std::memchr(at, kTableMarker[0], static_cast<std::size_t>(lastStart - at) + 1);
        if (hit == nullptr) {
            return 0;
        }
        at = static_cast<const std::uint8_t*>(hit);
        if (std::memcmp(at, kTableMarker.data(), kTableMarker.size()) == 0 &&
            at[kTableMarker.size()] == 0) {
            return static_cast<std::int32_t>(at - begin);
        }
        ++at;
    }
    return 0;
}

EntryTable ReadEntryTable(std::span<const std::uint8_t> bytes, std::size_t tableOffset) {
    return EntryTable{
        static_cast<std::int16_t>(U16At(bytes, tableOffset + kCapacityOffset)),
        static_cast<std::int16_t>(U16At(bytes, tableOffset + kCountOffset)),
    };
}

bool IsTableConsistent(std::span<const std::uint8_t> bytes, std::size_t tableOffset) {
    if (tableOffset + kEntryHeaderSize > bytes.size()) {
        return false;
    }
    const EntryTable header = ReadEntryTable(bytes, tableOffset);
    if (header.capacity < 0 || header.count < 0 || header.count > header.capacity) {
        return false;
    }
    const std::size_t end =
        tableOffset + kEntryHeaderSize + kEntrySize * static_cast<std::size_t>(header.capacity);
    return end <= bytes.size();
}

ProtocolChoice DecodeProtocol(ProtocolCode code) {
    switch (code & kKindMask) {
        case 1:
            return (code & kFirmwareBit) ? ProtocolChoice::cbiFirmware : ProtocolChoice::cbi;
        case 2:
            return ProtocolChoice::cbNonInterrupt;
        case 3:
            return ProtocolChoice::bulkOnly;
        case 4:
            return ProtocolChoice::initializer;
        default:
            return ProtocolChoice::ignore;
    }
}

std::optional<ProtocolCode> EncodeProtocol(int choice) {
    switch (choice) {
        case static_cast<int>(ProtocolChoice::cbi):
            return 0x01;
        case static_cast<int>(ProtocolChoice::cbiFirmware):
            return 0x41;
        case static_cast<int>(ProtocolChoice::initializer):
            return 0x04;
        case static_cast<int>(ProtocolChoice::bulkOnly):
            return 0x03;
        case static_cast<int>(ProtocolChoice::cbNonInterrupt):
            return 0x02;
        default:
            return std::nullopt;
    }
}

}  // namespace morvex
