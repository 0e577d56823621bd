// How morvex-cli names protocols and lays out entry lines.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/DriverImage.h"

namespace morvex::cli {

struct ProtocolName {
    std::string_view name;
    ProtocolChoice choice;
};

// The names --protocol takes (in any case) and list --json shows, in the dialog's list order.
inline constexpr std::array<ProtocolName, 5> kProtocolNames{{
    {"cbi", ProtocolChoice::cbi},
    {"cbi-fw", ProtocolChoice::cbiFirmware},
    {"initializer", ProtocolChoice::initializer},
    {"bulk", ProtocolChoice::bulkOnly},
    {"cb", ProtocolChoice::cbNonInterrupt},
}};
inline constexpr std::string_view kUnknownProtocolName = "unknown";

std::vector<std::string> ProtocolNameList();
// The choice a name stands for, whatever its case.
std::optional<ProtocolChoice> ProtocolNamed(std::string_view name);
// "bulk", ..., or "unknown" for a code byte the dialog shows as "--- Ignore ---".
std::string_view NameOf(ProtocolChoice choice);

// Slot, item text and protocol label of every entry, columns aligned across the lines.
std::string FormatEntryLines(const DriverImage& image);
// The line of one slot, as the list shows it.
std::string FormatEntryLine(const DriverImage& image, int slot);

}  // namespace morvex::cli
