// The session every command loads and saves through, over a file layer that fails on cue:
// each failure of the held file ends in the dialog's message and status 1.
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

struct SessionCase {
    Fault fault;  // struck on the file held for writing
    int loadStatus;
    int saveStatus;
    std::string err;
};

void PrintTo(const SessionCase& c, std::ostream* os) {
    *os << FaultName(c.fault);
}

class DriverSessionTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(DriverSessionTest, EveryFailureOfTheHeldFileIsReported) {
    const SessionCase& c = GetParam();
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    FaultyFileSystem files;
    files.Inject(c.fault, OpenMode::readWriteExisting);
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err);
    DriverSession session(files);

    int status = session.Load(driver, Access::edit, console);
    EXPECT_EQ(status, c.loadStatus);
    if (status == 0) {
        ASSERT_TRUE(session.image().SetEntry(0, 0x0781, 0x5567, 0x03));
        status = session.Save(console);
        EXPECT_EQ(status, c.saveStatus);
    }

    EXPECT_EQ(err.str(), c.err);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(files.struck(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, DriverSessionTest,
    ::testing::Values(
        // Readable but not writable: the edit is checked, the save refused.
        SessionCase{Fault::openFails, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::readFails, 1, 0, "morvex-cli: Can not read driver's image.\n"},
        SessionCase{Fault::writeFails, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::writeStopsShort, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::syncFails, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::closeFails, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::readBackDiffers, 0, 1, "morvex-cli: Can not update driver's image.\n"},
        SessionCase{Fault::writeIgnored, 0, 1, "morvex-cli: Can not update driver's image.\n"}),
    [](const auto& info) { return std::string(FaultName(info.param.fault)); });

TEST(DriverSessionTest, ASaveWithNoFaultIsVerifiedAndReleasesTheFile) {
    TempDir dir;
    const DriverFixture fixture = StandardDriver();
    const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err);
    DriverSession session;

    ASSERT_EQ(session.Load(driver, Access::edit, console), 0);
    EXPECT_TRUE(session.CanSave());
    ASSERT_TRUE(session.image().SetEntry(0, 0x0781, 0x5567, 0x03));
    EXPECT_EQ(session.Save(console), 0);

    EXPECT_FALSE(session.CanSave());
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(ReadFileBytes(driver) == WithSlot(before, fixture, 0, 0x0781, 0x5567, 0x03));
}

TEST(DriverSessionTest, AReadSessionNeverSaves) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err);
    DriverSession session;

    ASSERT_EQ(session.Load(driver, Access::read, console), 0);
    ASSERT_TRUE(session.image().SetEntry(0, 0x0781, 0x5567, 0x03));

    EXPECT_FALSE(session.CanSave());
    EXPECT_EQ(session.Save(console), 1);
    EXPECT_EQ(err.str(), "morvex-cli: Can not update driver's image.\n");
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

}  // namespace
}  // namespace morvex::test
