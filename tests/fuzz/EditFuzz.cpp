// Fuzz target: a script of selections, field edits and applies on any driver image; every
// step is checked against what an edit may change.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "EditScript.h"
#include "FuzzSupport.h"
#include "editor/EntryEditor.h"

namespace morvex::fuzz {
namespace {

const std::string kDriverPath = "KESTRIN.SYS";

using Bytes = std::vector<std::uint8_t>;

Bytes Copy(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

std::uint16_t U16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// The only bytes an edit may change: bytes 0-4 of slots 0 ... capacity-1 and the count.
bool MayChange(std::size_t at, int tableOffset, int capacity) {
    if (tableOffset <= 0) {
        return false;
    }
    const auto table = static_cast<std::size_t>(tableOffset);
    if (at == table + 14 || at == table + 15) {
        return true;
    }
    const std::size_t slots = table + 16;
    return at >= slots && at < slots + 8 * static_cast<std::size_t>(capacity) &&
           (at - slots) % 8 < 5;
}

class EditSession {
  public:
    explicit EditSession(std::span<const std::uint8_t> image) : m_input(image), m_guarded(m_files) {
        m_files.Put(kDriverPath, image);
        FUZZ_CHECK(Image().AllocateBuffer() == BufferOutcome::ready);
        const LoadOutcome outcome = m_guarded.Load(kDriverPath);
        FUZZ_CHECK(outcome != LoadOutcome::readFailed);
        FUZZ_CHECK((outcome == LoadOutcome::loaded) == Image().IsLoaded());
        m_tableOffset = Image().GetTableOffset();
        m_length = Image().GetLength();
        m_capacity = Image().GetCapacity();
        m_list = BuildList(Image());
        Reselect(0);
    }

    void Run(ScriptReader& script) {
        std::uint8_t opcode;
        while (script.Next(opcode)) {
            const Bytes before = Copy(Image().Bytes());
            const int countBefore = Image().GetCount();
            if (!RunStep(static_cast<Step>(opcode % kStepCount), script, before, countBefore)) {
                return;
            }
            CheckStep(before, countBefore);
        }
    }

  private:
    DriverImage& Image() { return m_guarded.image; }

    bool RunStep(Step step, ScriptReader& script, const Bytes& before, int countBefore) {
        std::uint8_t operand = 0;
        switch (step) {
            case Step::select:
                if (!script.Next(operand)) {
                    return false;
                }
                Reselect(static_cast<int>(operand % m_list.items.size()));
                return true;
            case Step::vid:
                return script.Text(m_fields.m_strVID);
            case Step::pid:
                return script.Text(m_fields.m_strPID);
            case Step::protocol:
                if (!script.Next(operand)) {
                    return false;
                }
                m_fields.m_nProtocol = operand % 8 - 1;
                return true;
            case Step::writeProtect:
                if (!script.Next(operand)) {
                    return false;
                }
                m_fields.m_bWriteProtect = (operand & 1) != 0;
                return true;
            case Step::apply:
                ApplySelected(before, countBefore);
                return true;
            case Step::applyAt: {
                std::uint8_t item = 0;
                if (!script.Next(operand) || !script.Next(item)) {
                    return false;
                }
                ApplyAt(operand % 40 - 4, item % 40 - 4, before, countBefore);
                return true;
            }
            case Step::saveAndReload:
                SaveAndReload(before);
                return true;
        }
        return false;
    }

    // What the dialog does on a selection: the fields come from the item.
    void Reselect(int position) {
        m_position = position;
        m_fields = GetFieldsFor(Image(), m_list.items[static_cast<std::size_t>(position)].itemValue)
                       .fields;
    }

    // The apply button: the selected position and its item's value.
    void ApplySelected(const Bytes& before, int countBefore) {
        const int itemValue = m_list.items[static_cast<std::size_t>(m_position)].itemValue;
        const ApplyResult result = Apply(Image(), m_position, itemValue, m_fields);
        if (!CheckApply(result, itemValue, before, countBefore)) {
            return;
        }
        const int slot = itemValue == NewEntryMarker ? countBefore : itemValue;
        // The entry just written matches no other entry.
        const Bytes after = Copy(Image().Bytes());
        for (int i = 0; i < Image().GetCount(); ++i) {
            if (i != slot) {
                FUZZ_CHECK(U16(after, SlotAt(i)) != U16(after, SlotAt(slot)) ||
                           U16(after, SlotAt(i) + 2) != U16(after, SlotAt(slot) + 2));
            }
        }
        ApplyListChange(m_list.items, m_position, result);
        Reselect(m_position);
    }

    // A caller that passes any position and item value: still only slots may change.
    void ApplyAt(int position, int itemValue, const Bytes& before, int countBefore) {
        const ApplyResult result = Apply(Image(), position, itemValue, m_fields);
        if (!CheckApply(result, itemValue, before, countBefore)) {
            return;
        }
        m_list = BuildList(Image());
        Reselect(0);
    }

    // Checks an apply's outcome; true when it was applyOk.
    bool CheckApply(const ApplyResult& result, int itemValue, const Bytes& before,
                    int countBefore) {
        if (result.outcome != ApplyOutcome::applyOk) {
            FUZZ_CHECK(std::ranges::equal(Image().Bytes(), before));
            return false;
        }
        FUZZ_CHECK(Image().IsLoaded());
        const bool adding = itemValue == NewEntryMarker;
        const int slot = adding ? countBefore : itemValue;
        FUZZ_CHECK(slot >= 0 && slot < m_capacity);
        FUZZ_CHECK(adding || slot < countBefore);
        FUZZ_CHECK(Image().GetCount() == countBefore + (adding ? 1 : 0));
        FUZZ_CHECK(result.change == (adding ? ListChange::inserted : ListChange::replaced));

        const Bytes after = Copy(Image().Bytes());
        const std::size_t at = SlotAt(slot);
        const std::uint8_t code = after[at + 4];
        const std::uint8_t kind = code & 0x7F;
        FUZZ_CHECK(kind == 0x01 || kind == 0x41 || kind == 0x04 || kind == 0x03 || kind == 0x02);
        FUZZ_CHECK(code == (*EncodeProtocol(m_fields.m_nProtocol) |
                            (m_fields.m_bWriteProtect ? 0x80 : 0x00)));
        FUZZ_CHECK(U16(after, at) == *ParseHex16(m_fields.m_strVID));
        FUZZ_CHECK(U16(after, at + 2) == *ParseHex16(m_fields.m_strPID));
        FUZZ_CHECK(result.itemText == FormatItemText(U16(after, at), U16(after, at + 2)));
        return true;
    }

    // The image goes to the file and comes back: the same table, the same list.
    void SaveAndReload(const Bytes& before) {
        const bool wasLoaded = Image().IsLoaded();
        FUZZ_CHECK(Image().Save(kDriverPath) == SaveOutcome::saved);
        Bytes expected = before;
        if (m_input.size() > before.size()) {
            expected.insert(expected.end(),
                            m_input.begin() + static_cast<std::ptrdiff_t>(before.size()),
                            m_input.end());
        }
        FUZZ_CHECK(*m_files.Find(kDriverPath) == expected);

        const LoadOutcome outcome = m_guarded.Load(kDriverPath);
        FUZZ_CHECK((outcome == LoadOutcome::loaded) == wasLoaded);
        const EntryList rebuilt = BuildList(Image());
        FUZZ_CHECK(rebuilt.items == m_list.items);
        m_list = rebuilt;
        Reselect(0);
    }

    std::size_t SlotAt(int slot) const {
        return static_cast<std::size_t>(m_tableOffset) + 16 + 8 * static_cast<std::size_t>(slot);
    }

    // After every step: nothing outside the slots and the count changed, the header still
    // holds, and the list shows the table item for item.
    void CheckStep(const Bytes& before, int countBefore) {
        FUZZ_CHECK(Image().GetTableOffset() == m_tableOffset);
        FUZZ_CHECK(Image().GetLength() == m_length);
        FUZZ_CHECK(Image().GetCapacity() == m_capacity);
        const Bytes after = Copy(Image().Bytes());
        FUZZ_CHECK(after.size() == before.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            FUZZ_CHECK(after[i] == before[i] || MayChange(i, m_tableOffset, m_capacity));
        }
        const int count = Image().GetCount();
        FUZZ_CHECK(count == countBefore || count == countBefore + 1);
        FUZZ_CHECK(count >= 0 && count <= m_capacity);

        FUZZ_CHECK(m_list.items.size() == static_cast<std::size_t>(count) + 1);
        for (int i = 0; i < count; ++i) {
            const ListItem& item = m_list.items[static_cast<std::size_t>(i)];
            FUZZ_CHECK(item.itemValue == i);
            FUZZ_CHECK(item.text ==
                       FormatItemText(U16(after, SlotAt(i)), U16(after, SlotAt(i) + 2)));
        }
        FUZZ_CHECK(m_list.items.back().itemValue == NewEntryMarker);
        FUZZ_CHECK(m_list.items.back().text == kNewEntryText);
        FUZZ_CHECK(m_position >= 0 && static_cast<std::size_t>(m_position) < m_list.items.size());
    }

    std::span<const std::uint8_t> m_input;
    MemoryFileSystem m_files;
    GuardedImage m_guarded;
    int m_tableOffset = 0;
    int m_length = 0;
    int m_capacity = 0;
    EntryList m_list;
    int m_position = 0;
    EntryFields m_fields;
};

}  // namespace
}  // namespace morvex::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvex::fuzz;
    const EditInput input = SplitInput({data, size});
    EditSession session(input.image);
    ScriptReader script(input.script);
    session.Run(script);
    return 0;
}
