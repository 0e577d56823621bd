// The command line itself: usage errors exit 2 with one line and touch nothing; help and
// --version exit 0.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

struct UsageCase {
    std::string name;
    std::vector<std::string> args;  // "{driver}" is replaced
    std::string says;               // a part of the message
    std::function<DriverFixture()> driver = StandardDriver;
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class UsageErrorTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, ExitsTwoWithOneLineAndWritesNothing) {
    const UsageCase& c = GetParam();
    TempDir dir;
    const std::string driver = c.driver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);

    const CliResult result = RunCli(Expand(c.args, driver, dir.path()));

    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("morvex-cli: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

const std::vector<std::string> kIds{"--vid", "1", "--pid", "2"};
const std::vector<std::string> kEntry{"--vid", "1", "--pid", "2", "--protocol", "bulk"};

std::vector<std::string> With(std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, UsageErrorTest,
    ::testing::Values(
        UsageCase{"NoCommand", {}, "A command is required: list, add, update or report"},
        UsageCase{"UnknownCommand", {"remove", "{driver}"}, "remove"},
        UsageCase{"UnknownOption", {"list", "{driver}", "--bogus"}, "--bogus"},
        UsageCase{"MissingDriver", {"list"}, "DRIVER"},
        UsageCase{"ExtraArgument", {"list", "{driver}", "more"}, "more"},
        UsageCase{"JsonIsForList", With({"add", "{driver}", "--json"}, kEntry), "--json"},
        UsageCase{
            "AddWithoutVid", {"add", "{driver}", "--pid", "1", "--protocol", "bulk"}, "--vid"},
        UsageCase{"AddWithoutProtocol", With({"add", "{driver}"}, kIds), "--protocol"},
        UsageCase{"VidWithoutValue",
                  {"add", "{driver}", "--protocol", "cb", "--pid", "1", "--vid"},
                  "--vid"},
        UsageCase{"VidTwice", With({"add", "{driver}", "--vid", "3", "--protocol", "cb"}, kIds),
                  "--vid"},
        UsageCase{"UnknownProtocolListsTheNames",
                  With({"add", "{driver}", "--protocol", "scsi"}, kIds),
                  "cbi,cbi-fw,initializer,bulk,cb"},
        UsageCase{"UpdateUnknownProtocol",
                  {"update", "{driver}", "0", "--protocol", "BULK-ONLY"},
                  "cbi,cbi-fw,initializer,bulk,cb"},
        UsageCase{"SlotNotANumber", {"update", "{driver}", "one", "--vid", "1"}, "SLOT"},
        UsageCase{"SlotWithASign", {"update", "{driver}", "+1", "--vid", "1"}, "SLOT"},
        UsageCase{"SlotNegative", {"update", "{driver}", "-1", "--vid", "1"}, "-1"},
        UsageCase{"SlotMissing", {"update", "{driver}", "--vid", "1"}, "SLOT"},
        UsageCase{"SlotPastTheCount",
                  {"update", "{driver}", "4", "--vid", "1"},
                  "SLOT 4 is not in use in the table; its entries are at SLOT 0 to 3"},
        UsageCase{"SlotBeyondAnyNumber",
                  {"update", "{driver}", "99999999999999999999", "--vid", "1"},
                  "SLOT 99999999999999999999 is not in use"},
        UsageCase{"SlotOfAnEmptyTable",
                  {"update", "{driver}", "0", "--vid", "1"},
                  "SLOT 0 is not in use in the table; it has no entries",
                  [] { return DriverFixture(); }},
        UsageCase{"UpdateWithNothingToChange", {"update", "{driver}", "0"}, "nothing to change"},
        UsageCase{
            "UpdateWithOnlyDryRun", {"update", "{driver}", "0", "--dry-run"}, "nothing to change"},
        UsageCase{"ReportWithoutOutput", {"report", "{driver}"}, "OUTPUT"}),
    [](const auto& info) { return info.param.name; });

struct HelpCase {
    std::string name;
    std::vector<std::string> args;
    std::vector<std::string> says;
};

void PrintTo(const HelpCase& c, std::ostream* os) {
    *os << c.name;
}

class HelpTest : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpTest, PrintsToStandardOutputAndExitsZero) {
    const CliResult result = RunCli(GetParam().args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    for (const auto& text : GetParam().says) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text << " in\n" << result.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, HelpTest,
    ::testing::Values(
        HelpCase{
            "Program",
            {"--help"},
            {"Usage: morvex-cli", "list", "add", "update", "report", "--version", "Exit status"}},
        HelpCase{"List", {"list", "--help"}, {"Usage: morvex-cli list", "DRIVER", "--json"}},
        HelpCase{"Add",
                 {"add", "-h"},
                 {"Usage: morvex-cli add", "--vid", "--pid", "--protocol", "cbi-fw",
                  "--write-protect", "--dry-run"}},
        HelpCase{"Update",
                 {"update", "--help"},
                 {"Usage: morvex-cli update", "SLOT", "--vid", "--pid", "--protocol",
                  "--write-protect", "--dry-run"}},
        HelpCase{"Report", {"report", "--help"}, {"Usage: morvex-cli report", "OUTPUT"}}),
    [](const auto& info) { return info.param.name; });

TEST(VersionTest, PrintsTheProgramAndItsVersion) {
    const CliResult result = RunCli({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "morvex-cli 1.0.0.1\n");
    EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace morvex::test
