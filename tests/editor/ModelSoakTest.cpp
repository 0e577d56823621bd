// A seeded random soak of adds and updates through the core and the save, checked after every
// step against a model of the table written here from the rules alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "editor/EntryEditor.h"
#include "image/DriverImage.h"
#include "support/DriverFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::ReadFileBytes;
using test::TempDir;

// What a step ends in: the apply's outcome, or a refusal before it for a protected entry
// (whose apply button the dialog disables and the command line refuses).
enum class Outcome {
    applyOk,
    maximumEntryOver,
    invalidHex,
    invalidProtocol,
    duplicateEntry,
    writeProtected
};

const char* Name(Outcome outcome) {
    constexpr const char* kNames[] = {"applyOk",         "maximumEntryOver", "invalidHex",
                                      "invalidProtocol", "duplicateEntry",   "writeProtected"};
    return kNames[static_cast<int>(outcome)];
}

Outcome From(ApplyOutcome outcome) {
    switch (outcome) {
        case ApplyOutcome::applyOk:
            return Outcome::applyOk;
        case ApplyOutcome::maximumEntryOver:
            return Outcome::maximumEntryOver;
        case ApplyOutcome::invalidHex:
            return Outcome::invalidHex;
        case ApplyOutcome::invalidProtocol:
            return Outcome::invalidProtocol;
        case ApplyOutcome::duplicateEntry:
            return Outcome::duplicateEntry;
    }
    return Outcome::writeProtected;
}

// The model: the file's expected bytes, and the entries as a plain list. It knows the rules,
// not the code: its own hexadecimal reading and writing, its own code table.
class TableModel {
  public:
    struct Entry {
        std::uint16_t vid;
        std::uint16_t pid;
        std::uint8_t code;
    };
    struct View {
        std::string vid;
        std::string pid;
        int protocol;
        bool writeProtect;
    };

    TableModel(std::vector<std::uint8_t> bytes, std::size_t tableAt, int capacity,
               std::vector<Entry> entries)
        : m_bytes(std::move(bytes)),
          m_tableAt(tableAt),
          m_capacity(capacity),
          m_entries(std::move(entries)) {}

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    int count() const { return static_cast<int>(m_entries.size()); }
    const std::vector<Entry>& entries() const { return m_entries; }

    std::vector<std::string> ListTexts() const {
        std::vector<std::string> texts;
        for (const Entry& e : m_entries) {
            texts.push_back(" VID_" + Hex4(e.vid) + "&PID_" + Hex4(e.pid));
        }
        texts.push_back("---- New entry ----");
        return texts;
    }

    // What the fields show for list position `position` (count: the new-entry item, which
    // shows the slot after the last entry, zeros past the end of the file).
    View ViewAt(int position) const {
        const std::size_t at = m_tableAt + 16 + 8 * static_cast<std::size_t>(position);
        const auto byte = [&](std::size_t i) { return i < m_bytes.size() ? m_bytes[i] : 0; };
        const auto code = static_cast<std::uint8_t>(byte(at + 4));
        int protocol = 0;
        switch (code & 0x0F) {
            case 1:
                protocol = (code & 0x40) ? 2 : 1;
                break;
            case 2:
                protocol = 5;
                break;
            case 3:
                protocol = 4;
                break;
            case 4:
                protocol = 3;
                break;
        }
        return {Hex4(static_cast<std::uint16_t>(byte(at) | byte(at + 1) << 8)),
                Hex4(static_cast<std::uint16_t>(byte(at + 2) | byte(at + 3) << 8)), protocol,
                (code & 0x80) != 0};
    }

    // The rules of an edit at list `position`, in their order; on success the model changes.
    Outcome Apply(int position, const EntryFields& fields) {
        const bool adding = position == count();
        // A protected slot's item (the new-entry item too) cannot be applied at all.
        if (ViewAt(position).writeProtect) {
            return Outcome::writeProtected;
        }
        if (adding && count() + 1 >= m_capacity) {
            return Outcome::maximumEntryOver;
        }
        const auto vid = ReadHex(fields.m_strVID);
        const auto pid = ReadHex(fields.m_strPID);
        if (!vid || !pid) {
            return Outcome::invalidHex;
        }
        constexpr std::array<int, 6> kCodes{-1, 0x01, 0x41, 0x04, 0x03, 0x02};
        if (fields.m_nProtocol < 1 || fields.m_nProtocol > 5) {
            return Outcome::invalidProtocol;
        }
        const auto code = static_cast<std::uint8_t>(kCodes[fields.m_nProtocol] |
                                                    (fields.m_bWriteProtect ? 0x80 : 0));
        for (int i = 0; i < count(); ++i) {
            if (i != position && m_entries[i].vid == *vid && m_entries[i].pid == *pid) {
                return Outcome::duplicateEntry;
            }
        }
        const Entry entry{*vid, *pid, code};
        if (adding) {
            m_entries.push_back(entry);
        } else {
            m_entries[static_cast<std::size_t>(position)] = entry;
        }
        const std::size_t at = m_tableAt + 16 + 8 * static_cast<std::size_t>(position);
        m_bytes[at] = static_cast<std::uint8_t>(entry.vid);
        m_bytes[at + 1] = static_cast<std::uint8_t>(entry.vid >> 8);
        m_bytes[at + 2] = static_cast<std::uint8_t>(entry.pid);
        m_bytes[at + 3] = static_cast<std::uint8_t>(entry.pid >> 8);
        m_bytes[at + 4] = entry.code;
        m_bytes[m_tableAt + 14] = static_cast<std::uint8_t>(count());
        m_bytes[m_tableAt + 15] = static_cast<std::uint8_t>(count() >> 8);
        return Outcome::applyOk;
    }

    static std::string Hex4(std::uint16_t value) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        return {kDigits[value >> 12], kDigits[(value >> 8) & 15], kDigits[(value >> 4) & 15],
                kDigits[value & 15]};
    }

    // Only hexadecimal digits; of a longer text the last four count; empty is 0.
    static std::optional<std::uint16_t> ReadHex(const std::string& text) {
        const std::string digits = "0123456789abcdef";
        for (const char c : text) {
            const char lower = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
            if (digits.find(lower) == std::string::npos) {
                return std::nullopt;
            }
        }
        const std::string last = text.size() > 4 ? text.substr(text.size() - 4) : text;
        return last.empty() ? 0 : static_cast<std::uint16_t>(std::stoul(last, nullptr, 16));
    }

  private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_tableAt;
    int m_capacity;
    std::vector<Entry> m_entries;
};

// "" when equal, else where and how two files first differ (whole dumps would bury it).
std::string FirstDifference(const std::vector<std::uint8_t>& actual,
                            const std::vector<std::uint8_t>& expected) {
    if (actual.size() != expected.size()) {
        return "length " + std::to_string(actual.size()) + ", expected " +
               std::to_string(expected.size());
    }
    const auto [got, want] = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (got == actual.end()) {
        return "";
    }
    return "byte " + std::to_string(got - actual.begin()) + " is " + std::to_string(*got) +
           ", expected " + std::to_string(*want);
}

std::uint32_t EnvOr(const char* name, std::uint32_t fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? static_cast<std::uint32_t>(std::stoul(value))
                                              : fallback;
}

class Soak {
  public:
    // The real file layer, without waiting for the disk ten thousand times.
    explicit Soak(std::uint32_t seed) : m_random(seed) { m_files.SkipSync(); }

    // One driver with a random table, some of it filled; the model starts from its bytes.
    void NewDriver() {
        const int capacity = Pick(0, 3) == 0 ? Pick(0, 3) : Pick(4, 24);
        const int filled = capacity == 0 ? 0 : Pick(0, capacity);
        const std::size_t tableAt = static_cast<std::size_t>(Pick(18, 600));
        const std::size_t tableEnd = tableAt + 16 + 8 * static_cast<std::size_t>(capacity);
        // Sometimes the table ends the file: the new-entry item then shows zeros.
        std::size_t size =
            tableEnd + (Pick(0, 4) == 0 ? 0 : static_cast<std::size_t>(Pick(1, 300)));
        if (Pick(0, 49) == 0) {
            size = 65536 + 100;  // a file longer than the image: its tail is never touched
        }
        DriverFixture fixture = DriverFixture().size(size).tableAt(tableAt).capacity(
            static_cast<std::int16_t>(capacity));
        std::vector<TableModel::Entry> entries;
        constexpr std::uint8_t kCodes[] = {0x01, 0x41, 0x04, 0x03, 0x02, 0x01, 0x03, 0x02,
                                           0x81, 0xC1, 0x42, 0x00, 0x07, 0x3F, 0x11, 0x84};
        for (int i = 0; i < filled; ++i) {
            TableModel::Entry e{static_cast<std::uint16_t>(Pick(0, 0xFFFF)),
                                static_cast<std::uint16_t>(Pick(0, 0xFFFF)),
                                kCodes[Pick(0, std::size(kCodes) - 1)]};
            if (i > 0 && Pick(0, 9) == 0) {
                // A driver may ship with a duplicate already.
                e.vid = entries[0].vid;
                e.pid = entries[0].pid;
            }
            entries.push_back(e);
            fixture.entry(
                e.vid, e.pid, e.code,
                {static_cast<std::uint8_t>(Pick(0, 255)), static_cast<std::uint8_t>(Pick(0, 255)),
                 static_cast<std::uint8_t>(Pick(0, 255))});
        }
        if (capacity > 0 && filled < capacity && Pick(0, 5) == 0) {
            // Rubbish in the next free slot: the new-entry item shows it as it is.
            fixture.slot(filled, static_cast<std::uint16_t>(Pick(0, 0xFFFF)),
                         static_cast<std::uint16_t>(Pick(0, 0xFFFF)),
                         static_cast<std::uint8_t>(Pick(0, 255)));
        }
        m_path = fixture.write(m_dir.file("KESTRIN.SYS"));
        m_model.emplace(fixture.bytes(), tableAt, capacity, entries);
        m_image = std::make_unique<DriverImage>(m_files);
        ASSERT_EQ(m_image->AllocateBuffer(), BufferOutcome::ready);
        ASSERT_EQ(m_image->Load(m_path), LoadOutcome::loaded);
        m_list = BuildList(*m_image);
        ExpectListMatches("after the load");
    }

    // One add or update with fields as a user might type them, then the save; the first
    // disagreement between the product and the model ends the soak.
    void Step(int step) {
        const int count = m_model->count();
        const int position = (count == 0 || Pick(0, 2) == 0) ? count : Pick(0, count - 1);
        const int itemValue = m_list.items[static_cast<std::size_t>(position)].itemValue;

        // The fields a selection shows, as the model reads them from the bytes.
        const EntryView view = GetFieldsFor(*m_image, itemValue);
        const TableModel::View expectedView = m_model->ViewAt(position);
        ASSERT_EQ(view.fields.m_strVID, expectedView.vid);
        ASSERT_EQ(view.fields.m_strPID, expectedView.pid);
        ASSERT_EQ(view.fields.m_nProtocol, expectedView.protocol);
        ASSERT_EQ(view.fields.m_bWriteProtect, expectedView.writeProtect);
        ASSERT_EQ(view.canApply, !expectedView.writeProtect);

        EntryFields fields = view.fields;
        Edit(fields);
        m_description = "step " + std::to_string(step) + ": " +
                        (position == count ? "add" : "update " + std::to_string(position)) +
                        " of " + std::to_string(count) + " VID \"" + fields.m_strVID + "\" PID \"" +
                        fields.m_strPID + "\" protocol " + std::to_string(fields.m_nProtocol) +
                        (fields.m_bWriteProtect ? " protected" : "");
        SCOPED_TRACE(m_description);

        const Outcome expected = m_model->Apply(position, fields);
        Outcome actual = Outcome::writeProtected;
        if (view.canApply) {
            const ApplyResult result = Apply(*m_image, position, itemValue, fields);
            actual = From(result.outcome);
            ApplyListChange(m_list.items, position, result);
        }
        ++m_outcomes[static_cast<int>(actual)];
        ASSERT_STREQ(Name(actual), Name(expected));

        ASSERT_EQ(m_image->Save(m_path), SaveOutcome::saved);
        ASSERT_EQ(FirstDifference(ReadFileBytes(m_path), m_model->bytes()), "") << "the file";
        ExpectListMatches("the list kept by the editor");

        // The saved file read afresh gives the same list.
        DriverImage reread(m_files);
        reread.AllocateBuffer();
        ASSERT_EQ(reread.Load(m_path), LoadOutcome::loaded);
        std::vector<std::string> texts;
        for (const ListItem& item : BuildList(reread).items) {
            texts.push_back(item.text);
        }
        ASSERT_EQ(texts, m_model->ListTexts()) << "the list of the saved file";
    }

    const std::array<int, 6>& outcomes() const { return m_outcomes; }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    int Pick(int low, std::size_t high) { return Pick(low, static_cast<int>(high)); }

    // Most edits are valid; the rest are the mistakes the rules must catch.
    void Edit(EntryFields& fields) {
        const auto id = [this](std::string& text) {
            switch (Pick(0, 7)) {
                case 0:
                    text = std::string(1, " Gx-+\xA5."[Pick(0, 6)]) + text;  // not a digit
                    break;
                case 1:
                    text = RandomHex(Pick(5, 7));  // more than four digits
                    break;
                case 2:
                    text.clear();
                    break;
                case 3:
                case 4:
                case 5:
                    text = RandomHex(Pick(1, 4));
                    break;
                default:
                    break;  // as shown
            }
        };
        if (m_model->count() > 0 && Pick(0, 4) == 0) {
            // Another entry's IDs (or its own): a duplicate unless it is the entry itself.
            const auto& other =
                m_model->entries()[static_cast<std::size_t>(Pick(0, m_model->count() - 1))];
            fields.m_strVID = MixedCase(TableModel::Hex4(other.vid));
            fields.m_strPID = MixedCase(TableModel::Hex4(other.pid));
        } else {
            id(fields.m_strVID);
            id(fields.m_strPID);
        }
        if (Pick(0, 2) == 0) {
            fields.m_nProtocol = Pick(-1, 6);
        }
        // Protection is for good: set it rarely, or soon every entry would refuse edits.
        if (Pick(0, 14) == 0) {
            fields.m_bWriteProtect = !fields.m_bWriteProtect;
        }
    }

    std::string RandomHex(int digits) {
        constexpr char kDigits[] = "0123456789abcdefABCDEF";
        std::string text;
        for (int i = 0; i < digits; ++i) {
            text += kDigits[Pick(0, 21)];
        }
        return text;
    }

    std::string MixedCase(std::string text) {
        if (Pick(0, 1) == 0) {
            std::transform(text.begin(), text.end(), text.begin(), [](char c) {
                return (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
            });
        }
        return text;
    }

    void ExpectListMatches(const char* what) {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < m_list.items.size(); ++i) {
            texts.push_back(m_list.items[i].text);
            const bool marker = i + 1 == m_list.items.size();
            ASSERT_EQ(m_list.items[i].itemValue, marker ? NewEntryMarker : static_cast<int>(i))
                << what;
        }
        ASSERT_EQ(texts, m_model->ListTexts()) << what;
    }

    std::mt19937 m_random;
    test::FaultyFileSystem m_files;
    TempDir m_dir;
    std::string m_path;
    std::optional<TableModel> m_model;
    std::unique_ptr<DriverImage> m_image;
    EntryList m_list;
    std::string m_description;
    std::array<int, 6> m_outcomes{};
};

// 10,000 edits over a new driver every 100 steps. MORVEX_SOAK_SEED and MORVEX_SOAK_STEPS
// make longer runs by hand.
TEST(ModelSoak, EveryStepAgreesWithTheModel) {
    const std::uint32_t seed = EnvOr("MORVEX_SOAK_SEED", 20240605);
    const std::uint32_t steps = EnvOr("MORVEX_SOAK_STEPS", 10000);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Soak soak(seed);
    for (std::uint32_t step = 0; step < steps; ++step) {
        if (step % 100 == 0) {
            ASSERT_NO_FATAL_FAILURE(soak.NewDriver());
        }
        ASSERT_NO_FATAL_FAILURE(soak.Step(static_cast<int>(step)));
    }
    // Every kind of outcome came up often enough to mean something.
    for (int outcome = 0; outcome < 6; ++outcome) {
        EXPECT_GE(soak.outcomes()[outcome], static_cast<int>(steps / 100))
            << Name(static_cast<Outcome>(outcome));
    }
}

}  // namespace
}  // namespace morvex
