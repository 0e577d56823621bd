// add and update end to end: the bytes on disk afterwards, the printed entry, the dry runs,
// and drivers that may be read but not written.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

struct EditCase {
    std::string name;
    std::vector<std::string> args;  // "{driver}" stands for the driver's path
    int slot;
    std::uint16_t vid;
    std::uint16_t pid;
    std::uint8_t code;
    bool added;
    std::string line;
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditBytesTest : public ::testing::TestWithParam<EditCase> {};

// Only the slot's first five bytes and, for an add, the count may change; the file keeps its
// length and its tail past 65,536.
TEST_P(EditBytesTest, ChangesOnlyTheSlotAndTheCount) {
    const EditCase& c = GetParam();
    TempDir dir;
    const DriverFixture fixture = StandardDriver();
    const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result = RunCli(Expand(c.args, driver, dir.path()));

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, c.line);
    auto expected = WithSlot(before, fixture, c.slot, c.vid, c.pid, c.code);
    if (c.added) {
        expected = WithCount(expected, fixture, 5);
    }
    const auto after = ReadFileBytes(driver);
    ASSERT_EQ(after.size(), kLongFile);
    EXPECT_TRUE(after == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, EditBytesTest,
    ::testing::Values(
        EditCase{"AddShortHexAndEmptyPid",
                 {"add", "{driver}", "--vid", "1a", "--pid", "", "--protocol", "bulk"},
                 4,
                 0x001A,
                 0x0000,
                 0x03,
                 true,
                 "4  VID_001A&PID_0000  BULK Only\n"},
        EditCase{"AddWriteProtectedFirmware",
                 {"add", "{driver}", "--vid", "ab", "--pid", "FFFF", "--protocol", "CBI-FW",
                  "--write-protect"},
                 4,
                 0x00AB,
                 0xFFFF,
                 0xC1,
                 true,
                 "4  VID_00AB&PID_FFFF  CBI( with F/W download for KVOR-3 )  (Write Protected)\n"},
        EditCase{"AddInitializer",
                 {"add", "{driver}", "--protocol", "Initializer", "--vid", "0781", "--pid", "5567"},
                 4,
                 0x0781,
                 0x5567,
                 0x04,
                 true,
                 "4  VID_0781&PID_5567  Initializer for KVOR-3\n"},
        EditCase{"AddNonInterrupt",
                 {"add", "{driver}", "--vid", "dead", "--pid", "BeEf", "--protocol", "cb"},
                 4,
                 0xDEAD,
                 0xBEEF,
                 0x02,
                 true,
                 "4  VID_DEAD&PID_BEEF  CB( Non Interrupt Endpoint )\n"},
        EditCase{"AddCbi",
                 {"add", "{driver}", "--vid", "1", "--pid", "2", "--protocol", "CBI"},
                 4,
                 0x0001,
                 0x0002,
                 0x01,
                 true,
                 "4  VID_0001&PID_0002  CBI\n"},
        EditCase{"UpdateVidKeepsTheRest",
                 {"update", "{driver}", "0", "--vid", "0781"},
                 0,
                 0x0781,
                 0x0001,
                 0x03,
                 false,
                 "0  VID_0781&PID_0001  BULK Only\n"},
        EditCase{"UpdateProtocolOnly",
                 {"update", "{driver}", "0", "--protocol", "cbi"},
                 0,
                 0x04B4,
                 0x0001,
                 0x01,
                 false,
                 "0  VID_04B4&PID_0001  CBI\n"},
        EditCase{"UpdateEmptyVidIsZero",
                 {"update", "{driver}", "0", "--vid", ""},
                 0,
                 0x0000,
                 0x0001,
                 0x03,
                 false,
                 "0  VID_0000&PID_0001  BULK Only\n"},
        EditCase{"UpdateWriteProtect",
                 {"update", "{driver}", "0", "--write-protect"},
                 0,
                 0x04B4,
                 0x0001,
                 0x83,
                 false,
                 "0  VID_04B4&PID_0001  BULK Only  (Write Protected)\n"},
        EditCase{"UpdateNormalisesAStrayFirmwareBit",
                 {"update", "{driver}", "3", "--pid", "9"},
                 3,
                 0x0ABC,
                 0x0009,
                 0x02,
                 false,
                 "3  VID_0ABC&PID_0009  CB( Non Interrupt Endpoint )\n"},
        EditCase{"UpdateToItsOwnPairIsNoDuplicate",
                 {"update", "{driver}", "3", "--vid", "0abc", "--pid", "0010", "--protocol", "cb"},
                 3,
                 0x0ABC,
                 0x0010,
                 0x02,
                 false,
                 "3  VID_0ABC&PID_0010  CB( Non Interrupt Endpoint )\n"},
        EditCase{"UpdateUnknownKindWithProtocol",
                 {"update", "{driver}", "2", "--protocol", "INITIALIZER"},
                 2,
                 0x0D7D,
                 0x0100,
                 0x04,
                 false,
                 "2  VID_0D7D&PID_0100  Initializer for KVOR-3\n"},
        EditCase{"UpdateThroughARelativeSpelling",
                 {"update", "{dir}/./KESTRIN.SYS", "0", "--pid", "1234"},
                 0,
                 0x04B4,
                 0x1234,
                 0x03,
                 false,
                 "0  VID_04B4&PID_1234  BULK Only\n"}),
    [](const auto& info) { return info.param.name; });

TEST(EditTest, AddTakesAFreeSlotWhoseStaleCodeByteSaysWriteProtected) {
    TempDir dir;
    const DriverFixture fixture = StandardDriver().slot(4, 0xFFFF, 0xFFFF, 0x80);
    const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result =
        RunCli({"add", driver, "--vid", "1", "--pid", "2", "--protocol", "bulk"});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(ReadFileBytes(driver) ==
                WithCount(WithSlot(before, fixture, 4, 1, 2, 0x03), fixture, 5));
}

TEST(EditTest, AFullTableStillHasItsEntriesUpdated) {
    TempDir dir;
    const DriverFixture fixture = DriverFixture()
                                      .size(kLongFile)
                                      .tableAt(kTableAt)
                                      .capacity(2)
                                      .entry(0x0001, 0x0001, 0x03)
                                      .entry(0x0002, 0x0002, 0x03);
    const std::string driver = fixture.write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result = RunCli({"update", driver, "1", "--protocol", "cb"});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(ReadFileBytes(driver) == WithSlot(before, fixture, 1, 2, 2, 0x02));
}

// The entry line goes out before the save: an output that cannot take it stops the edit.
TEST(EditTest, AnOutputThatTakesNothingLeavesTheDriverAlone) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    CliEnvironment environment;
    environment.standardOutput = full;

    const CliResult result =
        RunCli({"add", driver, "--vid", "1", "--pid", "2", "--protocol", "bulk"}, environment);
    ::close(full);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "morvex-cli: Can not write to standard output.\n");
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

struct DryRunCase {
    std::string name;
    std::vector<std::string> args;
    std::string out;  // "{driver}" stands for the driver's path
};

void PrintTo(const DryRunCase& c, std::ostream* os) {
    *os << c.name;
}

class DryRunTest : public ::testing::TestWithParam<DryRunCase> {};

TEST_P(DryRunTest, ShowsTheBytesASaveWouldWriteAndWritesNothing) {
    const DryRunCase& c = GetParam();
    TempDir dir;
    // Slot 4 zeroed so the old bytes of an add are known.
    const std::string driver = StandardDriver().slot(4, 0, 0, 0).write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result = RunCli(Expand(c.args, driver, dir.path()));

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, Expand({c.out}, driver, dir.path()).front());
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

// Table at 1234 = 0x4D2: the count at 0x4E0, slot i at 0x4E2 + 8 i.
INSTANTIATE_TEST_SUITE_P(
    Cli, DryRunTest,
    ::testing::Values(
        DryRunCase{
            "Add",
            {"add", "{driver}", "--vid", "1a", "--pid", "", "--protocol", "bulk", "--dry-run"},
            "4  VID_001A&PID_0000  BULK Only\n"
            "Dry run, nothing written to {driver}. A save would write:\n"
            "  slot 4, bytes 0x00000502-0x00000506: 00 00 00 00 00 -> 1A 00 00 00 03\n"
            "  count, bytes 0x000004E0-0x000004E1: 04 00 -> 05 00\n"},
        DryRunCase{"Update",
                   {"update", "--dry-run", "{driver}", "3", "--pid", "9"},
                   "3  VID_0ABC&PID_0009  CB( Non Interrupt Endpoint )\n"
                   "Dry run, nothing written to {driver}. A save would write:\n"
                   "  slot 3, bytes 0x000004FA-0x000004FE: BC 0A 10 00 42 -> BC 0A 09 00 02\n"},
        DryRunCase{"UpdateToTheSameBytes",
                   {"update", "{driver}", "0", "--protocol", "bulk", "--dry-run"},
                   "0  VID_04B4&PID_0001  BULK Only\n"
                   "Dry run, nothing written to {driver}. A save would write:\n"
                   "  slot 0, bytes 0x000004E2-0x000004E6: B4 04 01 00 03 -> B4 04 01 00 03\n"}),
    [](const auto& info) { return info.param.name; });

struct ReadOnlyCase {
    std::string name;
    std::vector<std::string> args;
    int status;
    std::string err;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadOnlyDriverTest : public ::testing::TestWithParam<ReadOnlyCase> {};

// A driver that may be read but not written: the table's rules speak first, then the save.
TEST_P(ReadOnlyDriverTest, IsRefusedAtTheSaveAndKeptAsItWas) {
    const ReadOnlyCase& c = GetParam();
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    MakeReadOnly(dir.path(), driver);

    CliEnvironment environment;
    environment.withoutWriteAccess = true;
    const CliResult result = RunCli(Expand(c.args, driver, dir.path()), environment);

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.err, c.err);
    if (c.status != 0) {
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ReadOnlyDriverTest,
    ::testing::Values(
        ReadOnlyCase{"Add",
                     {"add", "{driver}", "--vid", "1", "--pid", "2", "--protocol", "bulk"},
                     1,
                     "morvex-cli: Can not update driver's image.\n"},
        ReadOnlyCase{"Update",
                     {"update", "{driver}", "0", "--vid", "1"},
                     1,
                     "morvex-cli: Can not update driver's image.\n"},
        ReadOnlyCase{"RulesFirst",
                     {"add", "{driver}", "--vid", "12G4", "--pid", "2", "--protocol", "bulk"},
                     1,
                     "morvex-cli: Invalid hex string.\n"},
        ReadOnlyCase{
            "DryRunNeedsNoWriteAccess",
            {"add", "{driver}", "--vid", "1", "--pid", "2", "--protocol", "bulk", "--dry-run"},
            0,
            ""},
        ReadOnlyCase{"ListNeedsNoWriteAccess", {"list", "{driver}"}, 0, ""}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace morvex::test
