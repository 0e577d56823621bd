// Load and save with the file layer failing at each of its steps in turn: the outcome, the
// state a failed load leaves, and never a success that is not one.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "image/DriverImage.h"
#include "support/DriverFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::Fault;
using test::FaultyFileSystem;
using test::ReadFileBytes;
using test::TempDir;

// Transfers of 4 KiB make a 20,000-byte file take five reads or writes, so a fault can strike
// at the first, in the middle, at the last, and at the read that finds the end.
constexpr std::size_t kChunk = 4096;
constexpr int kFileSize = 20000;
constexpr int kMaxSteps = 16;

bool CanStrikeOnLoad(Fault fault) {
    return fault == Fault::openFails || fault == Fault::readFails ||
           fault == Fault::readStopsShort || fault == Fault::closeFails;
}

class LoadFaultStep : public testing::TestWithParam<Fault> {};

// The earlier image is loaded before each attempt, so the kept state is visible: a failed
// load keeps m_nTableOffset, and m_nLength unless only the close failed.
TEST_P(LoadFaultStep, FailsWithTheStateTheRulesGive) {
    const Fault fault = GetParam();
    TempDir dir;
    const auto earlier =
        DriverFixture().size(5000).tableAt(1234).entry(1, 2, 3).write(dir.file("A.SYS"));
    const auto chosen =
        DriverFixture().size(kFileSize).tableAt(700).entry(4, 5, 6).write(dir.file("B.SYS"));
    FaultyFileSystem files;
    files.LimitTransfers(kChunk);
    DriverImage image(files);
    ASSERT_EQ(image.AllocateBuffer(), BufferOutcome::ready);

    int nth = 1;
    for (; nth <= kMaxSteps; ++nth) {
        SCOPED_TRACE(testing::Message() << FaultName(fault) << " at step " << nth);
        files.Inject(Fault::none);
        ASSERT_EQ(image.Load(earlier), LoadOutcome::loaded);
        files.Inject(fault, std::nullopt, nth);
        const LoadOutcome outcome = image.Load(chosen);
        if (files.struck() == 0) {
            // The step never came: an ordinary load.
            EXPECT_EQ(outcome, LoadOutcome::loaded);
            EXPECT_EQ(image.GetLength(), kFileSize);
            EXPECT_EQ(image.GetTableOffset(), 700);
            break;
        }
        switch (fault) {
            case Fault::readStopsShort: {
                // A read that stops early is the end of the file: the image is what arrived.
                const int delivered =
                    std::min(kFileSize, static_cast<int>(kChunk) * (nth - 1) + 2048);
                EXPECT_EQ(outcome, LoadOutcome::loaded);
                EXPECT_EQ(image.GetLength(), delivered);
                EXPECT_EQ(image.GetTableOffset(), 700);
                break;
            }
            case Fault::closeFails:
                EXPECT_EQ(outcome, LoadOutcome::readFailed);
                EXPECT_EQ(image.GetLength(), kFileSize);
                EXPECT_EQ(image.GetTableOffset(), 1234);
                break;
            default:
                EXPECT_EQ(outcome, LoadOutcome::readFailed);
                EXPECT_EQ(image.GetLength(), 5000);
                EXPECT_EQ(image.GetTableOffset(), 1234);
                break;
        }
    }
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
    // A fault that belongs to loading struck at least once; the others never do.
    EXPECT_EQ(nth > 1, CanStrikeOnLoad(fault));
}

INSTANTIATE_TEST_SUITE_P(EveryFault, LoadFaultStep, testing::ValuesIn(test::kEveryFault),
                         test::FaultCaseName());

TEST(LoadFaultStep, AShortReadIsSavedBackWithoutLosingTheRest) {
    TempDir dir;
    const auto fixture = DriverFixture().size(kFileSize).tableAt(700).entry(4, 5, 6);
    const auto path = fixture.write(dir.file("K.SYS"));
    FaultyFileSystem files;
    files.LimitTransfers(kChunk);
    files.Inject(Fault::readStopsShort, OpenMode::readExisting, 2);
    DriverImage image(files);
    image.AllocateBuffer();
    ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
    ASSERT_EQ(image.GetLength(), 4096 + 2048);
    ASSERT_TRUE(image.SetEntry(0, 0xBEEF, 0xCAFE, 0x02));

    ASSERT_EQ(image.Save(path), SaveOutcome::saved);

    auto expected = fixture.bytes();
    std::copy_n(std::vector<std::uint8_t>{0xEF, 0xBE, 0xFE, 0xCA, 0x02}.begin(), 5,
                expected.begin() + static_cast<std::ptrdiff_t>(fixture.slotOffset(0)));
    EXPECT_EQ(ReadFileBytes(path), expected);
}

class SaveFaultStep : public testing::TestWithParam<Fault> {};

// The file is overwritten with zeros after the load, so every byte of the save matters: a
// write that goes missing anywhere is caught by the read-back. After any failure the image
// is intact and a later save puts it whole into the file.
TEST_P(SaveFaultStep, IsWriteFailedAndLosesNothing) {
    const Fault fault = GetParam();
    TempDir dir;
    const auto path = DriverFixture().size(kFileSize).entry(1, 2, 3).write(dir.file("K.SYS"));
    const std::vector<std::uint8_t> zeros(kFileSize, 0);

    int nth = 1;
    for (; nth <= kMaxSteps; ++nth) {
        SCOPED_TRACE(testing::Message() << FaultName(fault) << " at step " << nth);
        FaultyFileSystem files;
        files.LimitTransfers(kChunk);
        DriverImage image(files);
        image.AllocateBuffer();
        test::WriteFileBytes(path, DriverFixture().size(kFileSize).entry(1, 2, 3).bytes());
        ASSERT_EQ(image.Load(path), LoadOutcome::loaded);
        ASSERT_TRUE(image.SetEntry(0, 0xBEEF, 0xCAFE, 0x02));
        const auto span = image.Bytes();
        const std::vector<std::uint8_t> edited(span.begin(), span.end());
        test::WriteFileBytes(path, zeros);

        files.Inject(fault, OpenMode::readWriteExisting, nth);
        const SaveOutcome outcome = image.Save(path);
        EXPECT_TRUE(std::ranges::equal(image.Bytes(), edited)) << "the image changed";
        const auto onDisk = ReadFileBytes(path);
        ASSERT_EQ(onDisk.size(), zeros.size()) << "the file changed its length";
        if (files.struck() == 0) {
            EXPECT_EQ(outcome, SaveOutcome::saved);
            EXPECT_EQ(onDisk, edited);
            break;
        }
        EXPECT_EQ(outcome, SaveOutcome::writeFailed);
        for (std::size_t i = 0; i < onDisk.size(); ++i) {
            ASSERT_TRUE(onDisk[i] == zeros[i] || onDisk[i] == edited[i]) << "stray byte at " << i;
        }

        files.Inject(Fault::none);
        EXPECT_EQ(image.Save(path), SaveOutcome::saved);
        EXPECT_EQ(ReadFileBytes(path), edited);
    }
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
    EXPECT_GT(nth, 1) << "the fault never struck during a save";
}

INSTANTIATE_TEST_SUITE_P(EveryFault, SaveFaultStep, testing::ValuesIn(test::kEveryFault),
                         test::FaultCaseName());

}  // namespace
}  // namespace morvex
