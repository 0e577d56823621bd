// report end to end: the core's report byte for byte, to a file or to standard output, and
// never over the driver itself.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "CliFixtures.h"
#include "CliRunner.h"
#include "image/DriverImage.h"
#include "report/TextReport.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

std::string FileText(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// What the dialog's "Text out" writes for the driver at `path`, shown as `shownPath`.
std::string CoreReport(const std::string& path, const std::string& shownPath) {
    DriverImage image;
    if (image.AllocateBuffer() != BufferOutcome::ready || image.Load(path) != LoadOutcome::loaded) {
        throw std::runtime_error("the core cannot load " + path);
    }
    return TextReport::FormatReport(image, shownPath);
}

struct ReportCase {
    std::string name;
    std::function<DriverFixture()> driver;
};

// Test lists name a case by its name, not by its bytes.
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class ReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTest, WritesTheCoresReportToAFileAndToStandardOutput) {
    TempDir dir;
    const std::string driver = GetParam().driver().write(dir.file("KESTRIN.SYS"));
    const auto before = ReadFileBytes(driver);
    const std::string expected = CoreReport(driver, driver);
    ASSERT_NE(expected.find("\r\n"), std::string::npos);

    const CliResult toFile = RunCli({"report", driver, dir.file("report.txt")});
    const CliResult toOutput = RunCli({"report", driver, "-"});

    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(FileText(dir.file("report.txt")), expected);
    EXPECT_EQ(toOutput.status, 0) << toOutput.err;
    EXPECT_EQ(toOutput.err, "");
    EXPECT_EQ(toOutput.out, expected);
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ReportTest,
    ::testing::Values(ReportCase{"Standard", StandardDriver},
                      ReportCase{"Empty", [] { return DriverFixture().capacity(3); }},
                      ReportCase{"LongestLine",
                                 [] { return DriverFixture().entry(0xABCD, 0xEF01, 0xC1); }}),
    [](const auto& info) { return info.param.name; });

TEST(ReportFileTest, ARelativeDriverPathIsReportedAbsolute) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    CliEnvironment environment;
    environment.workingDirectory = dir.path();

    const CliResult result = RunCli({"report", "./KESTRIN.SYS", "-"}, environment);

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, CoreReport(driver, dir.path() + "/KESTRIN.SYS"));
}

TEST(ReportFileTest, ReplacesALongerFileWhole) {
    TempDir dir;
    const std::string driver = DriverFixture().capacity(3).write(dir.file("KESTRIN.SYS"));
    const std::string report = dir.file("report.txt");
    std::ofstream(report) << std::string(5000, '#');

    const CliResult result = RunCli({"report", driver, report});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FileText(report), CoreReport(driver, driver));
}

TEST(ReportFileTest, DotSlashDashIsAFileNamedDash) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    CliEnvironment environment;
    environment.workingDirectory = dir.path();

    const CliResult result = RunCli({"report", driver, "./-"}, environment);

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(FileText(dir.file("-")), CoreReport(driver, driver));
}

TEST(ReportFileTest, AnOutputThatTakesNothingIsATextOutFailure) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    CliEnvironment environment;
    environment.standardOutput = full;

    const CliResult result = RunCli({"report", driver, "-"}, environment);
    ::close(full);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "morvex-cli: Text-out failure.\n");
}

struct SameFileCase {
    std::string name;
    std::string output;  // "{dir}" and "{driver}" are replaced
};

void PrintTo(const SameFileCase& c, std::ostream* os) {
    *os << c.name;
}

class ReportOverDriverTest : public ::testing::TestWithParam<SameFileCase> {};

// The report replaces its file: by any name, the driver is not a report file.
TEST_P(ReportOverDriverTest, IsAUsageErrorAndKeepsTheDriver) {
    TempDir dir;
    const std::string driver = StandardDriver().write(dir.file("KESTRIN.SYS"));
    std::filesystem::create_hard_link(driver, dir.file("hard.sys"));
    std::filesystem::create_symlink(driver, dir.file("soft.sys"));
    const auto before = ReadFileBytes(driver);

    const CliResult result =
        RunCli(Expand({"report", "{driver}", GetParam().output}, driver, dir.path()));

    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "morvex-cli: report: OUTPUT is the driver file itself; the report would "
              "overwrite it\n");
    EXPECT_TRUE(ReadFileBytes(driver) == before);
}

INSTANTIATE_TEST_SUITE_P(Cli, ReportOverDriverTest,
                         ::testing::Values(SameFileCase{"SamePath", "{driver}"},
                                           SameFileCase{"OtherSpelling", "{dir}/./KESTRIN.SYS"},
                                           SameFileCase{"HardLink", "{dir}/hard.sys"},
                                           SameFileCase{"SymbolicLink", "{dir}/soft.sys"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace morvex::test
