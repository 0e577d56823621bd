// The string table and the version record.
#include "Resources.h"

namespace morvex::res {
namespace {

constexpr fw::StringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About..."},
};

constexpr fw::VersionRecord kVersion = {
    {1, 0, 0, 1}, {1, 0, 0, 1},
    "1, 0, 0, 1", "1, 0, 0, 1",
    "",           "KESTRIN VID/PID Setup",
    "MORVEX",     "Free software, without warranty.",
    "MORVEX.EXE", "KESTRIN VID/PID Setup",
    "040904b0",   kResourceLanguage,
};

}  // namespace

std::span<const fw::StringResource> AllStrings() {
    return kStrings;
}

std::string_view LoadString(int id) {
    for (const auto& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

const fw::VersionRecord& Version() {
    return kVersion;
}

}  // namespace morvex::res
