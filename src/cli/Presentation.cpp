// Protocol names and the aligned entry lines of the list.
#include "cli/Presentation.h"

#include <algorithm>
#include <cctype>

#include "editor/EntryEditor.h"
#include "report/TextReport.h"

namespace morvex::cli {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

constexpr std::string_view kWriteProtected = "(Write Protected)";
constexpr std::string_view kColumnGap = "  ";

struct Columns {
    std::size_t slot = 1;
    std::size_t label = 0;
};

std::string FormatLine(const DriverImage& image, int slot, const Columns& columns) {
    const DeviceEntry entry = image.GetEntry(slot);
    std::string number = std::to_string(slot);
    std::string line(columns.slot > number.size() ? columns.slot - number.size() : 0, ' ');
    line += number;
    line += kColumnGap;
    // The list item without its leading space: the list's first column already sets it apart.
    line += FormatItemText(entry.vid, entry.pid).substr(1);
    line += kColumnGap;
    const std::string_view label = TextReport::ProtocolLabel(entry.code);
    line += label;
    // Padding only where a column follows, so no line ends in blanks.
    if (IsWriteProtected(entry.code)) {
        line.append(columns.label > label.size() ? columns.label - label.size() : 0, ' ');
        line += kColumnGap;
        line += kWriteProtected;
    }
    line += '\n';
    return line;
}

}  // namespace

std::vector<std::string> ProtocolNameList() {
    std::vector<std::string> names;
    for (const auto& protocol : kProtocolNames) {
        names.emplace_back(protocol.name);
    }
    return names;
}

std::optional<ProtocolChoice> ProtocolNamed(std::string_view name) {
    for (const auto& protocol : kProtocolNames) {
        if (EqualIgnoringCase(protocol.name, name)) {
            return protocol.choice;
        }
    }
    return std::nullopt;
}

std::string_view NameOf(ProtocolChoice choice) {
    for (const auto& protocol : kProtocolNames) {
        if (protocol.choice == choice) {
            return protocol.name;
        }
    }
    return kUnknownProtocolName;
}

std::string FormatEntryLines(const DriverImage& image) {
    const int count = image.GetCount();
    Columns columns;
    columns.slot = std::to_string(std::max(count - 1, 0)).size();
    for (int slot = 0; slot < count; ++slot) {
        const std::string_view label = TextReport::ProtocolLabel(image.GetEntry(slot).code);
        columns.label = std::max(columns.label, label.size());
    }
    std::string lines;
    for (int slot = 0; slot < count; ++slot) {
        lines += FormatLine(image, slot, columns);
    }
    return lines;
}

std::string FormatEntryLine(const DriverImage& image, int slot) {
    return FormatLine(image, slot, Columns{});
}

}  // namespace morvex::cli
