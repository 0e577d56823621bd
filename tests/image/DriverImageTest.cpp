// DriverImage: marker search, header checks, slot writes, failed-load state, verified save.
#include "image/DriverImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/DriverFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::FaultyFileSystem;
using test::ReadFileBytes;
using test::TempDir;

struct SearchCase {
    const char* name;
    std::function<DriverFixture()> fixture;
    LoadOutcome outcome;
    int tableOffset;
};

class MarkerSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(MarkerSearch, FindsTheFirstWholeMarker) {
    TempDir dir;
    const std::string path = GetParam().fixture().write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    ASSERT_EQ(image.AllocateBuffer(), BufferOutcome::ready);
    EXPECT_EQ(image.Load(path), GetParam().outcome);
    EXPECT_EQ(image.GetTableOffset(), GetParam().tableOffset);
    EXPECT_EQ(image.IsLoaded(), GetParam().outcome == LoadOutcome::loaded);
}

constexpr std::size_t k64K = 65536;

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkerSearch,
    testing::Values(
        SearchCase{"at1234_secondMarkerIgnored",
                   [] { return DriverFixture().tableAt(1234).entry(1, 2, 3).extraMarker(3000); },
                   LoadOutcome::loaded, 1234},
        SearchCase{"atOffset0_countsAsAbsentEvenWithALaterMarker",
                   [] { return DriverFixture().tableAt(0).extraMarker(2000); },
                   LoadOutcome::noTable, 0},
        SearchCase{"nonZeroTerminatorDoesNotMatch",
                   [] { return DriverFixture().tableAt(1234).terminator('1'); },
                   LoadOutcome::noTable, 0},
        SearchCase{"nonZeroTerminatorSkippedForALaterMarker",
                   [] {
                       return DriverFixture().tableAt(2000).bytesAt(
                           100, {'$', 'D', 'O', 'S', 'U', 'S', 'B', 'T', 'B', 'L', '0', ' '});
                   },
                   LoadOutcome::loaded, 2000},
        SearchCase{"emptyFile", [] { return DriverFixture().size(0).tableAt(std::nullopt); },
                   LoadOutcome::noTable, 0},
        SearchCase{"noMarker", [] { return DriverFixture().tableAt(std::nullopt); },
                   LoadOutcome::noTable, 0},
        SearchCase{"markerStraddlingByte65536",
                   [] { return DriverFixture().size(k64K + 4096).tableAt(k64K - 6); },
                   LoadOutcome::noTable, 0},
        SearchCase{"markerPast65536",
                   [] { return DriverFixture().size(k64K + 4096).tableAt(k64K + 100); },
                   LoadOutcome::noTable, 0},
        SearchCase{
            "tableEndingExactlyAtByte65536",
            [] { return DriverFixture().size(k64K + 10).capacity(4).tableAt(k64K - 16 - 32); },
            LoadOutcome::loaded, static_cast<int>(k64K - 48)},
        SearchCase{
            "tableOneByteOverByte65536",
            [] { return DriverFixture().size(k64K + 10).capacity(4).tableAt(k64K - 16 - 31); },
            LoadOutcome::noTable, 0},
        SearchCase{"slotsEndingAtEndOfFile",
                   [] { return DriverFixture().size(100 + 16 + 16).capacity(2).tableAt(100); },
                   LoadOutcome::loaded, 100},
        SearchCase{"slotsOneBytePastEndOfFile",
                   [] { return DriverFixture().size(100 + 16 + 15).capacity(2).tableAt(100); },
                   LoadOutcome::noTable, 0},
        SearchCase{"headerCutByEndOfFile",
                   [] { return DriverFixture().size(100 + 14).capacity(0).tableAt(100); },
                   LoadOutcome::noTable, 0},
        SearchCase{"capacityMinusOne", [] { return DriverFixture().rawHeader(0xFFFF, 0); },
                   LoadOutcome::noTable, 0},
        SearchCase{"countMinusOne", [] { return DriverFixture().rawHeader(16, 0xFFFF); },
                   LoadOutcome::noTable, 0},
        SearchCase{"countAboveCapacity", [] { return DriverFixture().rawHeader(4, 5); },
                   LoadOutcome::noTable, 0},
        SearchCase{"countEqualsCapacity",
                   [] { return DriverFixture().capacity(2).entry(1, 1, 3).entry(2, 2, 3); },
                   LoadOutcome::loaded, 0x200},
        SearchCase{"capacityZero", [] { return DriverFixture().capacity(0); }, LoadOutcome::loaded,
                   0x200}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EntryTable, ReadsSignExtendedWords) {
    const auto bytes = DriverFixture().rawHeader(0xFFFF, 0x8000).bytes();
    const EntryTable header = ReadEntryTable(bytes, 0x200);
    EXPECT_EQ(header.capacity, -1);
    EXPECT_EQ(header.count, -32768);
    EXPECT_FALSE(IsTableConsistent(bytes, 0x200));
}

TEST(DriverImage, ReadsHeaderAndEntries) {
    TempDir dir;
    const auto path = DriverFixture()
                          .capacity(16)
                          .entry(0x04B4, 0x0001, 0x03, {1, 2, 3})
                          .entry(0x1234, 0xABCD, 0xC1)
                          .write(dir.file("KESTRIN.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    EXPECT_EQ(image.GetCapacity(), 16);
    EXPECT_EQ(image.GetCount(), 2);
    EXPECT_EQ(image.GetLength(), 4096);
    EXPECT_EQ(image.GetEntry(0), (DeviceEntry{0x04B4, 0x0001, 0x03, {1, 2, 3}}));
    EXPECT_EQ(image.GetEntry(1), (DeviceEntry{0x1234, 0xABCD, 0xC1, test::kDefaultRest}));
}

TEST(DriverImage, SlotAfterAFullTableReadsZeroPastTheBytesRead) {
    TempDir dir;
    // Capacity 2, full; the 8 bytes after the last slot: 4 in the file, 4 past its end.
    const auto fixture =
        DriverFixture().size(0x200 + 16 + 16 + 4).capacity(2).entry(1, 1, 3).entry(2, 2, 3);
    const auto path = DriverFixture(fixture)
                          .bytesAt(fixture.slotOffset(2), {0x34, 0x12, 0x78, 0x56})
                          .write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    EXPECT_EQ(image.GetEntry(2), (DeviceEntry{0x1234, 0x5678, 0, {0, 0, 0}}));
    EXPECT_EQ(image.GetEntry(1000), DeviceEntry{});
    EXPECT_EQ(image.GetEntry(-1), DeviceEntry{});
}

TEST(DriverImage, SetEntryWritesOnlyTheFirstFiveBytesOfTheSlot) {
    TempDir dir;
    const auto fixture = DriverFixture().capacity(4).entry(1, 2, 3).entry(4, 5, 6);
    const auto path = fixture.write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);

    ASSERT_TRUE(image.SetEntry(1, 0xBEEF, 0xCAFE, 0x82));

    auto expected = fixture.bytes();
    const std::size_t at = fixture.slotOffset(1);
    expected[at] = 0xEF;
    expected[at + 1] = 0xBE;
    expected[at + 2] = 0xFE;
    expected[at + 3] = 0xCA;
    expected[at + 4] = 0x82;
    const auto bytes = image.Bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(DriverImage, WritesOutsideTheSlotsAreRefused) {
    TempDir dir;
    const auto fixture = DriverFixture().capacity(2).entry(1, 2, 3).entry(4, 5, 6);
    const auto path = fixture.write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);

    EXPECT_FALSE(image.SetEntry(-1, 9, 9, 1));
    EXPECT_FALSE(image.SetEntry(2, 9, 9, 1));  // the slot after a full table
    EXPECT_FALSE(image.IncrementCount());      // count already equals capacity
    const auto bytes = image.Bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), fixture.bytes());
}

TEST(DriverImage, IncrementCountRaisesTheStoredWord) {
    TempDir dir;
    const auto path = DriverFixture().capacity(300).count(255).write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(image.IncrementCount());
    EXPECT_EQ(image.GetCount(), 256);
    EXPECT_EQ(image.Bytes()[0x200 + 14], 0x00);
    EXPECT_EQ(image.Bytes()[0x200 + 15], 0x01);
}

TEST(DriverImage, NothingWorksBeforeTheBufferExists) {
    TempDir dir;
    const auto path = DriverFixture().entry(1, 2, 3).write(dir.file("K.SYS"));
    DriverImage image;
    EXPECT_EQ(image.Load(path), LoadOutcome::readFailed);
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
    EXPECT_FALSE(image.SetEntry(0, 1, 1, 1));
    EXPECT_EQ(ReadFileBytes(path), DriverFixture().entry(1, 2, 3).bytes());
}

TEST(DriverImage, AllocateBufferReportsNoMemoryAndCanTryAgain) {
    int calls = 0;
    DriverImage image(SystemFileSystem(), [&calls](std::size_t size) {
        ++calls;
        return calls == 1 ? nullptr : std::make_unique<std::uint8_t[]>(size);
    });
    EXPECT_EQ(image.AllocateBuffer(), BufferOutcome::noMemory);
    EXPECT_EQ(image.AllocateBuffer(), BufferOutcome::ready);
    EXPECT_EQ(image.AllocateBuffer(), BufferOutcome::ready);
    EXPECT_EQ(calls, 2);  // kept once obtained
}

// After a failed load the earlier image's offset stays, and its length unless the read
// itself went through.
TEST(DriverImage, FailedLoadKeepsTheEarlierState) {
    TempDir dir;
    const auto first =
        DriverFixture().size(5000).tableAt(1234).entry(1, 2, 3).write(dir.file("A.SYS"));
    const auto second = DriverFixture().size(3000).tableAt(700).write(dir.file("B.SYS"));
    FaultyFileSystem files;
    DriverImage image(files);
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(first), LoadOutcome::loaded);

    EXPECT_EQ(image.Load(dir.file("missing.sys")), LoadOutcome::readFailed);
    EXPECT_EQ(image.GetLength(), 5000);
    EXPECT_EQ(image.GetTableOffset(), 1234);

    files.Inject(test::Fault::readFails);
    EXPECT_EQ(image.Load(second), LoadOutcome::readFailed);
    EXPECT_EQ(image.GetLength(), 5000);
    EXPECT_EQ(image.GetTableOffset(), 1234);

    files.Inject(test::Fault::closeFails);
    EXPECT_EQ(image.Load(second), LoadOutcome::readFailed);
    EXPECT_EQ(image.GetLength(), 3000);
    EXPECT_EQ(image.GetTableOffset(), 1234);

    files.Inject(test::Fault::none);
    EXPECT_EQ(image.Load(second), LoadOutcome::loaded);
    EXPECT_EQ(image.GetTableOffset(), 700);
}

TEST(DriverImage, NoTableAfterALoadedOneClearsTheOffset) {
    TempDir dir;
    const auto first = DriverFixture().tableAt(1234).write(dir.file("A.SYS"));
    const auto second = DriverFixture().tableAt(std::nullopt).size(100).write(dir.file("B.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(first), LoadOutcome::loaded);
    EXPECT_EQ(image.Load(second), LoadOutcome::noTable);
    EXPECT_EQ(image.GetTableOffset(), 0);
    EXPECT_EQ(image.GetLength(), 100);
    EXPECT_FALSE(image.IsLoaded());
}

TEST(DriverImage, SaveKeepsLengthAndEveryByteFrom65536On) {
    TempDir dir;
    const auto fixture =
        DriverFixture().size(k64K + 5000).tableAt(40000).capacity(8).entry(1, 2, 3);
    const auto path = fixture.write(dir.file("BIG.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    EXPECT_EQ(image.GetLength(), static_cast<int>(k64K));
    ASSERT_TRUE(image.SetEntry(0, 0xAAAA, 0xBBBB, 0x01));

    ASSERT_EQ(image.Save(path), SaveOutcome::saved);

    auto expected = fixture.bytes();
    const std::size_t at = fixture.slotOffset(0);
    std::copy_n(std::vector<std::uint8_t>{0xAA, 0xAA, 0xBB, 0xBB, 0x01}.begin(), 5,
                expected.begin() + static_cast<std::ptrdiff_t>(at));
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(DriverImage, SaveWritesOverTheStartOfALongerFileWithoutTruncating) {
    TempDir dir;
    const auto fixture = DriverFixture().size(3000).entry(1, 2, 3);
    const auto path = fixture.write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    // The file grew after the load: the save replaces what was read and keeps the rest.
    auto grown = fixture.bytes();
    grown.resize(5000, 0x77);
    test::WriteFileBytes(path, grown);
    ASSERT_EQ(image.Save(path), SaveOutcome::saved);
    EXPECT_EQ(ReadFileBytes(path), grown);
}

TEST(DriverImage, SavingToADeletedOrReplacedFileCreatesNothing) {
    TempDir dir;
    const auto path = DriverFixture().entry(1, 2, 3).write(dir.file("K.SYS"));
    DriverImage image;
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);

    std::filesystem::remove(path);
    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
    EXPECT_FALSE(std::filesystem::exists(path));

    std::filesystem::create_directory(path);
    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(DriverImage, ReadsAndWritesThroughPartialTransfers) {
    TempDir dir;
    const auto fixture = DriverFixture().size(k64K + 100).tableAt(60000).entry(1, 2, 3);
    const auto path = fixture.write(dir.file("K.SYS"));
    FaultyFileSystem files;
    files.LimitTransfers(7);
    DriverImage image(files);
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    EXPECT_EQ(image.GetLength(), static_cast<int>(k64K));
    ASSERT_TRUE(image.SetEntry(0, 9, 9, 2));
    ASSERT_EQ(image.Save(path), SaveOutcome::saved);
    auto expected = fixture.bytes();
    const std::size_t at = fixture.slotOffset(0);
    expected[at] = 9;
    expected[at + 1] = 0;
    expected[at + 2] = 9;
    expected[at + 3] = 0;
    expected[at + 4] = 2;
    EXPECT_EQ(ReadFileBytes(path), expected);
}

class SaveFault : public testing::TestWithParam<test::Fault> {};

// A save is reported only once the file is known to hold the image.
TEST_P(SaveFault, IsWriteFailed) {
    TempDir dir;
    const auto path = DriverFixture().entry(1, 2, 3).write(dir.file("K.SYS"));
    FaultyFileSystem files;
    DriverImage image(files);
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_TRUE(image.SetEntry(0, 7, 7, 1));
    files.Inject(GetParam(), OpenMode::readWriteExisting);
    EXPECT_EQ(image.Save(path), SaveOutcome::writeFailed);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SaveFault,
                         testing::Values(test::Fault::openFails, test::Fault::writeFails,
                                         test::Fault::writeStopsShort, test::Fault::syncFails,
                                         test::Fault::readFails, test::Fault::readStopsShort,
                                         test::Fault::readBackDiffers, test::Fault::closeFails),
                         test::FaultCaseName());

class LoadFault : public testing::TestWithParam<test::Fault> {};

TEST_P(LoadFault, IsReadFailed) {
    TempDir dir;
    const auto path = DriverFixture().entry(1, 2, 3).write(dir.file("K.SYS"));
    FaultyFileSystem files;
    files.Inject(GetParam());
    DriverImage image(files);
    image.AllocateBuffer();
    EXPECT_EQ(image.Load(path), LoadOutcome::readFailed);
    EXPECT_FALSE(image.IsLoaded());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, LoadFault,
                         testing::Values(test::Fault::openFails, test::Fault::readFails,
                                         test::Fault::closeFails),
                         test::FaultCaseName());

}  // namespace
}  // namespace morvex
