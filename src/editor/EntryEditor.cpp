// Entry list building, field decoding and the apply rules.
#include "editor/EntryEditor.h"

namespace morvex {

std::string FormatHex16(std::uint16_t value) {
    // By hand rather than with printf, whose floating-point machinery would otherwise be
    // linked into every program for four digits.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(value >> 12) & 0xF], kDigits[(value >> 8) & 0xF], kDigits[(value >> 4) & 0xF],
            kDigits[value & 0xF]};
}

std::string FormatItemText(std::uint16_t vid, std::uint16_t pid) {
    return " VID_" + FormatHex16(vid) + "&PID_" + FormatHex16(pid);
}

std::optional<std::uint16_t> ParseHex16(std::string_view text) {
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            return std::nullopt;
        }
        value = ((value << 4) | digit) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(value);
}

EntryList BuildList(const DriverImage& image) {
    EntryList list;
    const int count = image.GetCount();
    for (int slot = 0; slot < count; ++slot) {
        const DeviceEntry entry = image.GetEntry(slot);
        list.items.push_back({FormatItemText(entry.vid, entry.pid), slot});
    }
    list.items.push_back({std::string(kNewEntryText), NewEntryMarker});
    list.selected = 0;
    return list;
}

namespace {

ApplyResult Refused(ApplyOutcome outcome) {
    ApplyResult result;
    result.outcome = outcome;
    return result;
}

int SlotFor(const DriverImage& image, int itemValue) {
    return itemValue == NewEntryMarker ? image.GetCount() : itemValue;
}

}  // namespace

EntryView GetFieldsFor(const DriverImage& image, int itemValue) {
    const DeviceEntry entry = image.GetEntry(SlotFor(image, itemValue));
    EntryView view;
    view.fields.m_strVID = FormatHex16(entry.vid);
    view.fields.m_strPID = FormatHex16(entry.pid);
    view.fields.m_nProtocol = static_cast<int>(DecodeProtocol(entry.code));
    view.fields.m_bWriteProtect = IsWriteProtected(entry.code);
    view.label = itemValue == NewEntryMarker ? ApplyLabel::add : ApplyLabel::update;
    view.canApply = !view.fields.m_bWriteProtect;
    return view;
}

ApplyResult Apply(DriverImage& image, int position, int itemValue, const EntryFields& fields) {
    const bool adding = itemValue == NewEntryMarker;
    const int count = image.GetCount();
    const int capacity = image.GetCapacity();
    const int slot = SlotFor(image, itemValue);

    // Adding stops one short of the capacity, as the driver's own tools always did.
    if (adding && count + 1 >= capacity) {
        return Refused(ApplyOutcome::maximumEntryOver);
    }
    // Only a listed entry or the next free slot may be written; anything else (no table,
    // an item value from another table) would land outside the entries.
    if (!image.IsLoaded() || slot < 0 || slot >= capacity || (!adding && slot >= count)) {
        return Refused(ApplyOutcome::maximumEntryOver);
    }
    const auto vid = ParseHex16(fields.m_strVID);
    if (!vid) {
        return Refused(ApplyOutcome::invalidHex);
    }
    const auto pid = ParseHex16(fields.m_strPID);
    if (!pid) {
        return Refused(ApplyOutcome::invalidHex);
    }
    auto code = EncodeProtocol(fields.m_nProtocol);
    if (!code) {
        return Refused(ApplyOutcome::invalidProtocol);
    }
    if (fields.m_bWriteProtect) {
        *code |= kWriteProtectBit;
    }
    for (int i = 0; i < count; ++i) {
        if (i == position) {
            continue;
        }
        const DeviceEntry other = image.GetEntry(i);
        if (other.vid == *vid && other.pid == *pid) {
            return Refused(ApplyOutcome::duplicateEntry);
        }
    }
    if (!image.SetEntry(slot, *vid, *pid, *code)) {
        return Refused(ApplyOutcome::maximumEntryOver);
    }
    if (adding) {
        // Cannot fail: count + 1 < capacity was checked above.
        image.IncrementCount();
    }
    return {ApplyOutcome::applyOk, FormatItemText(*vid, *pid),
            adding ? ListChange::inserted : ListChange::replaced};
}

void ApplyListChange(std::vector<ListItem>& items, int position, const ApplyResult& result) {
    if (result.outcome != ApplyOutcome::applyOk || position < 0 ||
        static_cast<std::size_t>(position) > items.size()) {
        return;
    }
    const auto at = items.begin() + position;
    if (result.change == ListChange::inserted) {
        items.insert(at, ListItem{result.itemText, position});
    } else if (at != items.end()) {
        *at = ListItem{result.itemText, position};
    }
}

}  // namespace morvex
