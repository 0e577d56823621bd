// The entry list, the fields of a selection, and the apply rules with their check order.
#include "editor/EntryEditor.h"

#include <gtest/gtest.h>

#include "support/DriverFixture.h"
#include "support/LoadedImage.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::LoadedImage;

struct HexCase {
    const char* text;
    std::optional<std::uint16_t> value;
};

class Hex : public testing::TestWithParam<HexCase> {};

TEST_P(Hex, Parses) {
    EXPECT_EQ(ParseHex16(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, Hex,
                         testing::Values(HexCase{"", 0x0000}, HexCase{"0", 0x0000},
                                         HexCase{"ab", 0x00AB}, HexCase{"AB", 0x00AB},
                                         HexCase{"1a", 0x001A}, HexCase{"04B4", 0x04B4},
                                         HexCase{"ffff", 0xFFFF}, HexCase{"12345", 0x2345},
                                         HexCase{"FFFFF0", 0xFFF0}, HexCase{"12G4", std::nullopt},
                                         HexCase{" 12", std::nullopt}, HexCase{"12 ", std::nullopt},
                                         HexCase{"-1", std::nullopt}, HexCase{"+1", std::nullopt},
                                         HexCase{"0x12", std::nullopt}, HexCase{"g", std::nullopt},
                                         HexCase{"\xA5", std::nullopt}));

TEST(Format, ItemTextAndHex) {
    EXPECT_EQ(FormatItemText(0x04B4, 0x0001), " VID_04B4&PID_0001");
    EXPECT_EQ(FormatItemText(0xABCD, 0x00EF), " VID_ABCD&PID_00EF");
    EXPECT_EQ(FormatHex16(0x001A), "001A");
}

TEST(BuildList, OneItemPerEntryThenTheMarker) {
    LoadedImage loaded(DriverFixture().entry(0x04B4, 0x0001, 3).entry(0x1234, 0xABCD, 0x81));
    const EntryList list = BuildList(loaded.image);
    EXPECT_EQ(list.items, (std::vector<ListItem>{{" VID_04B4&PID_0001", 0},
                                                 {" VID_1234&PID_ABCD", 1},
                                                 {"---- New entry ----", NewEntryMarker}}));
    EXPECT_EQ(list.selected, 0);
}

TEST(BuildList, CountZeroGivesTheMarkerAlone) {
    LoadedImage loaded(DriverFixture().slot(0, 0x1111, 0x2222, 0x03));
    const EntryList list = BuildList(loaded.image);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].itemValue, NewEntryMarker);
    EXPECT_EQ(list.selected, 0);
}

struct FieldsCase {
    const char* name;
    DriverFixture fixture;
    int itemValue;
    EntryView expected;
};

class Fields : public testing::TestWithParam<FieldsCase> {};

TEST_P(Fields, ShowTheSlot) {
    LoadedImage loaded(GetParam().fixture);
    const EntryView view = GetFieldsFor(loaded.image, GetParam().itemValue);
    EXPECT_EQ(view.fields, GetParam().expected.fields);
    EXPECT_EQ(view.label, GetParam().expected.label);
    EXPECT_EQ(view.canApply, GetParam().expected.canApply);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, Fields,
    testing::Values(FieldsCase{"entry",
                               DriverFixture().entry(0x04B4, 0x0001, 0x03),
                               0,
                               {{"04B4", "0001", 4, false}, ApplyLabel::update, true}},
                    FieldsCase{"cbWithStrayFirmwareBit",
                               DriverFixture().entry(1, 2, 0x42),
                               0,
                               {{"0001", "0002", 5, false}, ApplyLabel::update, true}},
                    FieldsCase{"writeProtectedCannotBeApplied",
                               DriverFixture().entry(0xABCD, 0xEF01, 0xC1),
                               0,
                               {{"ABCD", "EF01", 2, true}, ApplyLabel::update, false}},
                    FieldsCase{"unknownKind",
                               DriverFixture().entry(1, 2, 0x07),
                               0,
                               {{"0001", "0002", 0, false}, ApplyLabel::update, true}},
                    FieldsCase{"markerShowsTheZeroFilledNextSlot",
                               DriverFixture().entry(1, 2, 3),
                               NewEntryMarker,
                               {{"0000", "0000", 0, false}, ApplyLabel::add, true}},
                    FieldsCase{"markerShowsWhateverTheNextSlotHolds",
                               DriverFixture().entry(1, 2, 3).slot(1, 0x5555, 0x6666, 0x84),
                               NewEntryMarker,
                               {{"5555", "6666", 3, true}, ApplyLabel::add, false}},
                    FieldsCase{
                        "markerOfAFullTableShowsTheBytesAfterTheLastSlot",
                        DriverFixture().capacity(1).entry(1, 2, 3).slot(1, 0x7777, 0x8888, 0x01),
                        NewEntryMarker,
                        {{"7777", "8888", 1, false}, ApplyLabel::add, true}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ApplyCase {
    const char* name;
    DriverFixture fixture;
    int position;
    int itemValue;
    EntryFields fields;
    ApplyOutcome outcome;
};

class ApplyRules : public testing::TestWithParam<ApplyCase> {};

// Refusals change nothing; the first failing check in the order wins.
TEST_P(ApplyRules, RefuseOrWrite) {
    LoadedImage loaded(GetParam().fixture);
    const auto before = loaded.bytes();
    const ApplyResult result =
        Apply(loaded.image, GetParam().position, GetParam().itemValue, GetParam().fields);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    if (result.outcome != ApplyOutcome::applyOk) {
        EXPECT_EQ(loaded.bytes(), before);
    }
}

const DriverFixture kThree = DriverFixture()
                                 .capacity(4)
                                 .entry(0x1111, 0x0001, 3)
                                 .entry(0x2222, 0x0002, 3)
                                 .entry(0x3333, 0x0003, 3);
const DriverFixture kTwo =
    DriverFixture().capacity(4).entry(0x1111, 0x0001, 3).entry(0x2222, 0x0002, 3);

INSTANTIATE_TEST_SUITE_P(
    CheckOrder, ApplyRules,
    testing::Values(
        // Capacity 4, count 3: refused before the fields are even parsed.
        ApplyCase{"fullForAddsBeforeParsing",
                  kThree,
                  3,
                  NewEntryMarker,
                  {"XYZ", "!", 0, false},
                  ApplyOutcome::maximumEntryOver},
        ApplyCase{"countTwoOfFourAdds",
                  kTwo,
                  2,
                  NewEntryMarker,
                  {"4444", "0004", 1, false},
                  ApplyOutcome::applyOk},
        ApplyCase{"vidBeforePid", kTwo, 0, 0, {"12G4", "XYZ", 0, false}, ApplyOutcome::invalidHex},
        ApplyCase{
            "pidBeforeProtocol", kTwo, 0, 0, {"1234", "XYZ", 0, false}, ApplyOutcome::invalidHex},
        ApplyCase{"protocolIgnore",
                  kTwo,
                  0,
                  0,
                  {"1111", "0001", 0, false},
                  ApplyOutcome::invalidProtocol},
        ApplyCase{"protocolNoSelectionBeforeDuplicates",
                  kTwo,
                  0,
                  0,
                  {"2222", "0002", -1, false},
                  ApplyOutcome::invalidProtocol},
        ApplyCase{"protocolOutOfRange",
                  kTwo,
                  0,
                  0,
                  {"9999", "0002", 6, false},
                  ApplyOutcome::invalidProtocol},
        ApplyCase{"duplicateOfAnother",
                  kTwo,
                  1,
                  1,
                  {"1111", "0001", 1, false},
                  ApplyOutcome::duplicateEntry},
        ApplyCase{"addingADuplicate",
                  kTwo,
                  2,
                  NewEntryMarker,
                  {"2222", "0002", 1, false},
                  ApplyOutcome::duplicateEntry},
        ApplyCase{"sameValuesAsItselfIsNoDuplicate",
                  kTwo,
                  1,
                  1,
                  {"2222", "0002", 4, true},
                  ApplyOutcome::applyOk},
        ApplyCase{"fullTableStillUpdates",
                  DriverFixture().capacity(2).entry(1, 1, 3).entry(2, 2, 3),
                  1,
                  1,
                  {"0003", "0003", 5, false},
                  ApplyOutcome::applyOk},
        ApplyCase{"fullTableRefusesAdds",
                  DriverFixture().capacity(2).entry(1, 1, 3).entry(2, 2, 3),
                  2,
                  NewEntryMarker,
                  {"0003", "0003", 5, false},
                  ApplyOutcome::maximumEntryOver},
        ApplyCase{"itemValueOutsideTheEntries",
                  kTwo,
                  3,
                  3,
                  {"0003", "0003", 5, false},
                  ApplyOutcome::maximumEntryOver},
        ApplyCase{"capacityZero",
                  DriverFixture().capacity(0),
                  0,
                  NewEntryMarker,
                  {"1", "1", 1, false},
                  ApplyOutcome::maximumEntryOver}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Apply, AddWritesTheNextSlotRaisesTheCountAndInsertsBeforeTheMarker) {
    LoadedImage loaded(kTwo);
    const DriverFixture fixture = kTwo;
    EntryList list = BuildList(loaded.image);
    const ApplyResult result = Apply(loaded.image, 2, NewEntryMarker, {"ab", "1", 2, true});
    ASSERT_EQ(result.outcome, ApplyOutcome::applyOk);
    EXPECT_EQ(result.itemText, " VID_00AB&PID_0001");
    EXPECT_EQ(result.change, ListChange::inserted);
    EXPECT_EQ(loaded.image.GetCount(), 3);
    EXPECT_EQ(loaded.image.GetEntry(2), (DeviceEntry{0x00AB, 0x0001, 0xC1, {0, 0, 0}}));

    ApplyListChange(list.items, 2, result);
    EXPECT_EQ(list.items, BuildList(loaded.image).items);
    EXPECT_EQ(list.items.back().itemValue, NewEntryMarker);

    // Only the slot's first five bytes and the count changed.
    auto expected = fixture.bytes();
    const std::size_t at = fixture.slotOffset(2);
    const std::uint8_t written[] = {0xAB, 0x00, 0x01, 0x00, 0xC1};
    std::copy(std::begin(written), std::end(written), expected.begin() + static_cast<long>(at));
    expected[fixture.tableOffset() + 14] = 3;
    EXPECT_EQ(loaded.bytes(), expected);
}

TEST(Apply, UpdateReplacesTheItemAndNormalisesTheCode) {
    LoadedImage loaded(DriverFixture().entry(1, 1, 3).entry(2, 2, 0x42, {7, 8, 9}).entry(3, 3, 3));
    EntryList list = BuildList(loaded.image);
    const EntryView view = GetFieldsFor(loaded.image, 1);
    const ApplyResult result = Apply(loaded.image, 1, 1, view.fields);
    ASSERT_EQ(result.outcome, ApplyOutcome::applyOk);
    EXPECT_EQ(result.change, ListChange::replaced);
    EXPECT_EQ(loaded.image.GetEntry(1), (DeviceEntry{2, 2, 0x02, {7, 8, 9}}));
    EXPECT_EQ(loaded.image.GetCount(), 3);
    ApplyListChange(list.items, 1, result);
    EXPECT_EQ(list.items, BuildList(loaded.image).items);
}

TEST(Apply, EmptyIdsAndBulkStoreZeroesAndCode3) {
    LoadedImage loaded(DriverFixture().entry(1, 1, 1));
    ASSERT_EQ(Apply(loaded.image, 0, 0, {"", "", 4, false}).outcome, ApplyOutcome::applyOk);
    EXPECT_EQ(loaded.image.GetEntry(0), (DeviceEntry{0, 0, 0x03, test::kDefaultRest}));
}

TEST(Apply, PreExistingTwinsRefuseEachOtherUntilOneChanges) {
    LoadedImage loaded(DriverFixture().entry(5, 5, 3).entry(6, 6, 3).entry(5, 5, 1));
    EXPECT_EQ(Apply(loaded.image, 0, 0, GetFieldsFor(loaded.image, 0).fields).outcome,
              ApplyOutcome::duplicateEntry);
    EXPECT_EQ(Apply(loaded.image, 2, 2, GetFieldsFor(loaded.image, 2).fields).outcome,
              ApplyOutcome::duplicateEntry);
    EXPECT_EQ(Apply(loaded.image, 2, 2, {"0005", "0007", 1, false}).outcome, ApplyOutcome::applyOk);
    EXPECT_EQ(Apply(loaded.image, 0, 0, GetFieldsFor(loaded.image, 0).fields).outcome,
              ApplyOutcome::applyOk);
}

TEST(Apply, AddsStopOneShortOfTheCapacity) {
    LoadedImage loaded(DriverFixture().capacity(4));
    for (int i = 0; i < 3; ++i) {
        const int count = loaded.image.GetCount();
        EXPECT_EQ(Apply(loaded.image, count, NewEntryMarker,
                        {FormatHex16(std::uint16_t(i + 1)), "1", 1, false})
                      .outcome,
                  ApplyOutcome::applyOk);
    }
    EXPECT_EQ(loaded.image.GetCount(), 3);
    EXPECT_EQ(Apply(loaded.image, 3, NewEntryMarker, {"9", "9", 1, false}).outcome,
              ApplyOutcome::maximumEntryOver);
}

TEST(ApplyListChange, IgnoresRefusalsAndPositionsPastTheList) {
    std::vector<ListItem> items{{"a", 0}, {"---- New entry ----", NewEntryMarker}};
    const auto before = items;
    ApplyResult refused;
    refused.outcome = ApplyOutcome::invalidHex;
    ApplyListChange(items, 0, refused);
    ApplyListChange(items, 5, ApplyResult{ApplyOutcome::applyOk, "x", ListChange::inserted});
    ApplyListChange(items, -1, ApplyResult{ApplyOutcome::applyOk, "x", ListChange::replaced});
    EXPECT_EQ(items, before);
}

}  // namespace
}  // namespace morvex
