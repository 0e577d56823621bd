// The entry list, the fields shown for a selection, and the checked apply of an edit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/DriverImage.h"

namespace morvex {

// Item value of the list's last item, "---- New entry ----": applying it adds an entry.
inline constexpr int NewEntryMarker = -1;
inline constexpr std::string_view kNewEntryText = "---- New entry ----";

struct ListItem {
    std::string text;
    int itemValue = NewEntryMarker;  // the slot index, or NewEntryMarker

    bool operator==(const ListItem&) const = default;
};

struct EntryList {
    std::vector<ListItem> items;
    int selected = 0;
};

// The four values edited for one entry.
struct EntryFields {
    std::string m_strVID;
    std::string m_strPID;
    int m_nProtocol = -1;  // a ProtocolChoice position, or -1 for no selection
    bool m_bWriteProtect = false;

    bool operator==(const EntryFields&) const = default;
};

enum class ApplyLabel { add, update };

// What the dialog shows for a selected item.
struct EntryView {
    EntryFields fields;
    ApplyLabel label = ApplyLabel::update;
    bool canApply = true;  // the write-protect box and the apply button
};

enum class ApplyOutcome { applyOk, maximumEntryOver, invalidHex, invalidProtocol, duplicateEntry };
enum class ListChange { inserted, replaced };

struct ApplyResult {
    ApplyOutcome outcome = ApplyOutcome::applyOk;
    std::string itemText;                      // set on applyOk
    ListChange change = ListChange::replaced;  // set on applyOk
};

// " VID_04B4&PID_0001".
std::string FormatItemText(std::uint16_t vid, std::uint16_t pid);
// "04B4".
std::string FormatHex16(std::uint16_t value);

// Hexadecimal digits only, either case; more than four keep the last four; empty is 0.
std::optional<std::uint16_t> ParseHex16(std::string_view text);

// One item per entry (slots 0 ... count-1), then the marker; the first item is selected.
EntryList BuildList(const DriverImage& image);

// The fields of the item with `itemValue` (the marker shows the slot after the last entry).
EntryView GetFieldsFor(const DriverImage& image, int itemValue);

// Checks the edit in order (slot, VID, PID, protocol, duplicates); the first failure wins
// and nothing changes. On applyOk the slot is written, an add raises the count, and the
// result says how the list item at `position` changes.
ApplyResult Apply(DriverImage& image, int position, int itemValue, const EntryFields& fields);

// Brings `items` in step with an applyOk result for list position `position`.
void ApplyListChange(std::vector<ListItem>& items, int position, const ApplyResult& result);

}  // namespace morvex
