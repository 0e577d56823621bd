// The fixed mapping between code bytes and protocol list positions.
#include "image/EntryTable.h"

namespace morvex {

ProtocolChoice DecodeProtocol(std::uint8_t code) {
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

std::optional<std::uint8_t> EncodeProtocol(int choice) {
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
