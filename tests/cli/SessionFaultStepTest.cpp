// The session every edit command loads and saves through, with the held file failing at each
// of its steps in turn: exit status 1 and the step's message whenever a step failed, status 0
// only when the file holds the image, and no byte of the driver other than old or new.
#include <sstream>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "cli/DriverSession.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

using cli::Access;
using cli::Console;
using cli::DriverSession;

// 16 KiB transfers: the load takes four reads, the save four writes and its read-back sixteen.
constexpr std::size_t kChunk = 16384;
constexpr int kMaxSteps = 40;
constexpr std::size_t kImageSize = 65536;

class SessionFaultStepTest : public ::testing::TestWithParam<Fault> {};

TEST_P(SessionFaultStepTest, EndsInStatusOneAndTheStepsMessage) {
    const Fault fault = GetParam();
    const DriverFixture fixture = StandardDriver();
    const auto before = fixture.bytes();
    const auto edited = WithSlot(before, fixture, 0, 0x0781, 0x5567, 0x03);

    int nth = 1;
    for (; nth <= kMaxSteps; ++nth) {
        SCOPED_TRACE(::testing::Message() << FaultName(fault) << " at step " << nth);
        TempDir dir;
        const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
        FaultyFileSystem files;
        files.LimitTransfers(kChunk);
        files.Inject(fault, OpenMode::readWriteExisting, nth);
        std::ostringstream out;
        std::ostringstream err;
        Console console(out, err);
        DriverSession session(files);

        int status = session.Load(driver, Access::edit, console);
        const bool struckInLoad = files.struck() > 0;
        if (status == 0) {
            ASSERT_TRUE(session.image().SetEntry(0, 0x0781, 0x5567, 0x03));
            status = session.Save(console);
        }

        const auto after = ReadFileBytes(driver);
        ASSERT_EQ(after.size(), kLongFile);
        EXPECT_EQ(out.str(), "");
        if (status == 0) {
            EXPECT_EQ(err.str(), "");
            EXPECT_TRUE(after == edited) << "status 0 for a file that does not hold the image";
        }
        if (files.struck() == 0) {
            EXPECT_EQ(status, 0);
            break;
        }
        if (fault == Fault::writeIgnored && status == 0) {
            continue;  // the lost bytes were those the file already held: nothing is wrong
        }
        EXPECT_EQ(status, 1);
        // A file that cannot be held is loaded for reading and refused at the save; a read
        // that merely stops early loads what arrived, and the read-back then finds it short.
        const bool readMessage =
            struckInLoad && fault != Fault::openFails && fault != Fault::readStopsShort;
        EXPECT_EQ(err.str(), readMessage ? "morvex-cli: Can not read driver's image.\n"
                                         : "morvex-cli: Can not update driver's image.\n");
        for (std::size_t i = 0; i < after.size(); ++i) {
            ASSERT_TRUE(after[i] == before[i] || (i < kImageSize && after[i] == edited[i]))
                << "stray byte at " << i;
        }
    }
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
    EXPECT_GT(nth, 1) << "the fault never struck";
}

INSTANTIATE_TEST_SUITE_P(EveryFault, SessionFaultStepTest, ::testing::ValuesIn(kEveryFault),
                         FaultCaseName());

}  // namespace
}  // namespace morvex::test
