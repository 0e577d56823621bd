// The text report: byte-exact lines, CR LF ends, whole lines, and its file handling.
#include "report/TextReport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "editor/EntryEditor.h"
#include "support/DriverFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/LoadedImage.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::LoadedImage;
using test::ReadFileBytes;

std::string ReadText(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(TextReport, MatchesTheReferenceListingByteForByte) {
    LoadedImage loaded(
        DriverFixture().capacity(16).entry(0x1234, 0x0001, 0x03).entry(0x1234, 0x0002, 0x81));
    const std::string report = loaded.dir.file("report.txt");
    ASSERT_EQ(TextReport::Write(report, loaded.image, "C:\\DRV\\KESTRIN.SYS"),
              ReportOutcome::written);
    EXPECT_EQ(ReadText(report),
              "***** DOS USB Driver PID/VID Setting List ****\r\n"
              "\r\n"
              "    File = \"C:\\DRV\\KESTRIN.SYS\"\r\n"
              "\r\n"
              "    TotalEntrySpace = 16\r\n"
              "    NumberOfEntry   = 2\r\n"
              "\r\n"
              "    VID = 1234  PID = 0001    Protocol = BULK Only \r\n"
              "    VID = 1234  PID = 0002    Protocol = CBI (Write Protected)\r\n");
}

TEST(TextReport, CountZeroIsSevenLinesEndingBlank) {
    LoadedImage loaded(DriverFixture().capacity(3).slot(0, 1, 2, 3));
    const std::string text = TextReport::FormatReport(loaded.image, "K");
    EXPECT_EQ(text,
              "***** DOS USB Driver PID/VID Setting List ****\r\n\r\n"
              "    File = \"K\"\r\n\r\n"
              "    TotalEntrySpace = 3\r\n"
              "    NumberOfEntry   = 0\r\n\r\n");
}

struct LabelCase {
    std::uint8_t code;
    const char* line;
};

class Labels : public testing::TestWithParam<LabelCase> {};

TEST_P(Labels, EntryLineIsWrittenWhole) {
    LoadedImage loaded(DriverFixture().entry(0xABCD, 0x00EF, GetParam().code));
    const std::string text = TextReport::FormatReport(loaded.image, "K");
    const std::string expected = std::string(GetParam().line) + "\r\n";
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Labels,
    testing::Values(
        LabelCase{0xC1,
                  "    VID = ABCD  PID = 00EF    Protocol = CBI( with F/W download for KVOR-3 ) "
                  "(Write Protected)"},
        LabelCase{0x01, "    VID = ABCD  PID = 00EF    Protocol = CBI "},
        LabelCase{0x42, "    VID = ABCD  PID = 00EF    Protocol = CB( Non Interrupt Endpoint ) "},
        LabelCase{0x03, "    VID = ABCD  PID = 00EF    Protocol = BULK Only "},
        LabelCase{
            0x84,
            "    VID = ABCD  PID = 00EF    Protocol = Initializer for KVOR-3 (Write Protected)"},
        LabelCase{0x00, "    VID = ABCD  PID = 00EF    Protocol = Unknown "},
        LabelCase{0x8F, "    VID = ABCD  PID = 00EF    Protocol = Unknown (Write Protected)"}));

TEST(TextReport, LongestEntryLineHas94Characters) {
    LoadedImage loaded(DriverFixture().entry(0xFFFF, 0xFFFF, 0xC1));
    const std::string text = TextReport::FormatReport(loaded.image, "K");
    const auto end = text.rfind("\r\n");
    const auto start = text.rfind("\r\n", end - 1) + 2;
    EXPECT_EQ(end - start, 94u);
}

TEST(TextReport, ALongPathIsWrittenWhole) {
    LoadedImage loaded(DriverFixture().entry(1, 2, 3));
    const std::string path = "/" + std::string(194, 'd') + "/K.SY";
    ASSERT_EQ(path.size(), 200u);
    const std::string report = loaded.dir.file("r.txt");
    ASSERT_EQ(TextReport::Write(report, loaded.image, path), ReportOutcome::written);
    EXPECT_NE(ReadText(report).find("    File = \"" + path + "\"\r\n\r\n"), std::string::npos);
}

TEST(TextReport, ShowsUnsavedEditsAndTouchesNeitherImageNorDriver) {
    LoadedImage loaded(DriverFixture().entry(1, 2, 3));
    ASSERT_EQ(Apply(loaded.image, 1, NewEntryMarker, {"BEEF", "0007", 1, false}).outcome,
              ApplyOutcome::applyOk);
    const auto image = loaded.bytes();
    const auto driver = ReadFileBytes(loaded.path);
    const std::string report = loaded.dir.file("r.txt");
    ASSERT_EQ(TextReport::Write(report, loaded.image, loaded.path), ReportOutcome::written);
    EXPECT_NE(ReadText(report).find("VID = BEEF  PID = 0007    Protocol = CBI \r\n"),
              std::string::npos);
    EXPECT_EQ(loaded.bytes(), image);
    EXPECT_EQ(ReadFileBytes(loaded.path), driver);
}

TEST(TextReport, ReplacesAnExistingLongerFile) {
    LoadedImage loaded(DriverFixture().entry(1, 2, 3));
    const std::string report = loaded.dir.file("r.txt");
    test::WriteFileBytes(report, std::vector<std::uint8_t>(10000, 'x'));
    ASSERT_EQ(TextReport::Write(report, loaded.image, "K"), ReportOutcome::written);
    EXPECT_EQ(ReadText(report), TextReport::FormatReport(loaded.image, "K"));
}

TEST(TextReport, FailuresAreReportedAndCreateNothing) {
    LoadedImage loaded(DriverFixture().entry(1, 2, 3));
    EXPECT_EQ(TextReport::Write(loaded.dir.file("missing/r.txt"), loaded.image, "K"),
              ReportOutcome::reportFailed);
    EXPECT_EQ(TextReport::Write(loaded.dir.path(), loaded.image, "K"), ReportOutcome::reportFailed);

    DriverImage empty;
    EXPECT_EQ(TextReport::Write(loaded.dir.file("r.txt"), empty, "K"), ReportOutcome::reportFailed);
    EXPECT_FALSE(std::filesystem::exists(loaded.dir.file("r.txt")));
}

class ReportFault : public testing::TestWithParam<test::Fault> {};

TEST_P(ReportFault, IsReportFailed) {
    test::FaultyFileSystem files;
    LoadedImage loaded(DriverFixture().entry(1, 2, 3));
    files.Inject(GetParam());
    EXPECT_EQ(TextReport::Write(loaded.dir.file("r.txt"), loaded.image, "K", files),
              ReportOutcome::reportFailed);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, ReportFault,
                         testing::Values(test::Fault::openFails, test::Fault::writeFails,
                                         test::Fault::writeStopsShort, test::Fault::syncFails,
                                         test::Fault::closeFails),
                         test::FaultCaseName());

}  // namespace
}  // namespace morvex
