// Every refusal end to end: its one line on stderr, exit status 1, nothing on stdout and the
// driver left byte for byte as it was.
#include <functional>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

DriverFixture NoTable() {
    return DriverFixture().size(kLongFile).tableAt(std::nullopt);
}
// Capacity 4 with 3 entries: the program fills a table only to capacity - 1.
DriverFixture OneShortOfCapacity() {
    return DriverFixture()
        .capacity(4)
        .entry(0x0001, 0x0001, 0x03)
        .entry(0x0002, 0x0002, 0x03)
        .entry(0x0003, 0x0003, 0x03);
}
DriverFixture Full() {
    return DriverFixture().capacity(2).entry(0x0001, 0x0001, 0x03).entry(0x0002, 0x0002, 0x03);
}
// A count above the capacity: the header does not describe the slots.
DriverFixture Inconsistent() {
    return DriverFixture().capacity(2).count(3);
}

struct MessageCase {
    std::string name;
    std::function<DriverFixture()> driver;
    std::vector<std::string> args;  // "{driver}" and "{dir}" are replaced
    std::string message;
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class MessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTest, RefusesWithTheDialogsTextAndStatusOne) {
    const MessageCase& c = GetParam();
    TempDir dir;
    const std::string driver = c.driver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result = RunCli(Expand(c.args, driver, dir.path()));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "morvex-cli: " + c.message + "\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

const std::vector<std::string> kAddBulk{"--vid", "1", "--pid", "2", "--protocol", "bulk"};

std::vector<std::string> Add(std::vector<std::string> options) {
    options.insert(options.begin(), {"add", "{driver}"});
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, MessageTest,
    ::testing::Values(
        // The file.
        MessageCase{"ListMissingFile",
                    StandardDriver,
                    {"list", "{dir}/NONE.SYS"},
                    "Can not read driver's image."},
        MessageCase{"AddMissingFile",
                    StandardDriver,
                    {"add", "{dir}/NONE.SYS", "--vid", "1", "--pid", "2", "--protocol", "cb"},
                    "Can not read driver's image."},
        MessageCase{
            "ListAFolder", StandardDriver, {"list", "{dir}"}, "Can not read driver's image."},
        MessageCase{
            "ListNoTable", NoTable, {"list", "{driver}", "--json"}, "Invalid driver's image."},
        MessageCase{"AddNoTable", NoTable, Add(kAddBulk), "Invalid driver's image."},
        MessageCase{"UpdateNoTable",
                    NoTable,
                    {"update", "{driver}", "0", "--vid", "1"},
                    "Invalid driver's image."},
        MessageCase{
            "ReportNoTable", NoTable, {"report", "{driver}", "-"}, "Invalid driver's image."},
        MessageCase{"ListInconsistentHeader",
                    Inconsistent,
                    {"list", "{driver}"},
                    "Invalid driver's image."},
        // The table's rules, in the dialog's order: slot, VID, PID, protocol, duplicates.
        MessageCase{"AddOneShortOfCapacity", OneShortOfCapacity, Add(kAddBulk),
                    "Maximum entry over."},
        MessageCase{"AddToAFullTable", Full, Add(kAddBulk), "Maximum entry over."},
        MessageCase{"SlotCheckedBeforeHex", Full,
                    Add({"--vid", "12G4", "--pid", "2", "--protocol", "bulk"}),
                    "Maximum entry over."},
        MessageCase{"DryRunRefusesAlike", OneShortOfCapacity,
                    Add({"--vid", "9", "--pid", "9", "--protocol", "bulk", "--dry-run"}),
                    "Maximum entry over."},
        MessageCase{"VidNotHex", StandardDriver,
                    Add({"--vid", "12G4", "--pid", "2", "--protocol", "bulk"}),
                    "Invalid hex string."},
        MessageCase{"VidWithPrefix", StandardDriver,
                    Add({"--vid", "0x12", "--pid", "2", "--protocol", "bulk"}),
                    "Invalid hex string."},
        MessageCase{"PidWithSpace", StandardDriver,
                    Add({"--vid", "1", "--pid", " 12", "--protocol", "bulk"}),
                    "Invalid hex string."},
        MessageCase{"VidLongerThanTheField", StandardDriver,
                    Add({"--vid", "10001", "--pid", "2", "--protocol", "bulk"}),
                    "Invalid hex string."},
        MessageCase{"UpdatePidLongerThanTheField",
                    StandardDriver,
                    {"update", "{driver}", "0", "--pid", "00001"},
                    "Invalid hex string."},
        MessageCase{"UpdatePidNotHex",
                    StandardDriver,
                    {"update", "{driver}", "0", "--pid", "xyz"},
                    "Invalid hex string."},
        MessageCase{"HexCheckedBeforeProtocol",
                    StandardDriver,
                    {"update", "{driver}", "2", "--vid=-1"},
                    "Invalid hex string."},
        MessageCase{"UpdateUnknownKindKeepsNoProtocol",
                    StandardDriver,
                    {"update", "{driver}", "2", "--vid", "1"},
                    "Invalid protocol type."},
        MessageCase{"UpdateKindZeroKeepsNoProtocol",
                    [] { return StandardDriver().entry(0x5555, 0x5555, 0x00); },
                    {"update", "{driver}", "4", "--write-protect"},
                    "Invalid protocol type."},
        MessageCase{"AddDuplicate", StandardDriver,
                    Add({"--vid", "04b4", "--pid", "1", "--protocol", "cbi"}),
                    "The same VID/PID is already exist."},
        MessageCase{"UpdateToAnotherEntrysPair",
                    StandardDriver,
                    {"update", "{driver}", "3", "--vid", "04B4", "--pid", "0001"},
                    "The same VID/PID is already exist."},
        MessageCase{"TwinEntriesCannotBeReappliedUnchanged",
                    [] { return StandardDriver().entry(0x04B4, 0x0001, 0x01); },
                    {"update", "{driver}", "4", "--protocol", "cbi"},
                    "The same VID/PID is already exist."},
        MessageCase{"UpdateWriteProtectedEntry",
                    StandardDriver,
                    {"update", "{driver}", "1", "--vid", "1"},
                    "The entry is write-protected."},
        MessageCase{"WriteProtectedBeforeTheOtherRules",
                    StandardDriver,
                    {"update", "{driver}", "1", "--vid", "xyz", "--write-protect"},
                    "The entry is write-protected."},
        MessageCase{"WriteProtectedInADryRun",
                    StandardDriver,
                    {"update", "{driver}", "1", "--protocol", "bulk", "--dry-run"},
                    "The entry is write-protected."},
        // The report.
        MessageCase{"ReportIntoAMissingFolder",
                    StandardDriver,
                    {"report", "{driver}", "{dir}/none/report.txt"},
                    "Text-out failure."},
        MessageCase{"ReportOntoAFolder",
                    StandardDriver,
                    {"report", "{driver}", "{dir}"},
                    "Text-out failure."}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace morvex::test
