// The report with the file layer failing at each of its steps in turn: reportFailed whenever
// a step failed, and neither the image nor the driver file touched.
#include <gtest/gtest.h>

#include "editor/EntryEditor.h"
#include "report/TextReport.h"
#include "support/DriverFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/LoadedImage.h"

namespace morvex {
namespace {

using test::DriverFixture;
using test::Fault;
using test::FaultyFileSystem;

// The steps a report goes through; a fault of reading never comes, and a write the system
// takes but loses cannot be seen without reading the report back, which nothing does.
constexpr Fault kReportFaults[] = {Fault::openFails, Fault::writeFails, Fault::writeStopsShort,
                                   Fault::syncFails, Fault::closeFails};
constexpr int kMaxSteps = 64;

class ReportFaultStep : public testing::TestWithParam<Fault> {};

TEST_P(ReportFaultStep, IsReportFailed) {
    const Fault fault = GetParam();
    DriverFixture fixture = DriverFixture().capacity(16);
    for (std::uint16_t i = 0; i < 12; ++i) {
        fixture.entry(i, static_cast<std::uint16_t>(0x100 + i), 0xC1);
    }
    test::LoadedImage loaded(fixture);
    const auto image = loaded.bytes();
    const auto driver = test::ReadFileBytes(loaded.path);
    const std::string report = loaded.dir.file("report.txt");
    const std::string expected = TextReport::FormatReport(loaded.image, loaded.path);

    FaultyFileSystem files;
    // 100-byte writes: the report (some 1,300 bytes) takes a dozen or so.
    files.LimitTransfers(100);
    int nth = 1;
    for (; nth <= kMaxSteps; ++nth) {
        SCOPED_TRACE(testing::Message() << FaultName(fault) << " at step " << nth);
        files.Inject(fault, OpenMode::createOrReplace, nth);
        const ReportOutcome outcome = TextReport::Write(report, loaded.image, loaded.path, files);
        EXPECT_EQ(loaded.bytes(), image);
        EXPECT_EQ(test::ReadFileBytes(loaded.path), driver);
        if (files.struck() == 0) {
            EXPECT_EQ(outcome, ReportOutcome::written);
            const auto text = test::ReadFileBytes(report);
            EXPECT_EQ(std::string(text.begin(), text.end()), expected);
            break;
        }
        EXPECT_EQ(outcome, ReportOutcome::reportFailed);
    }
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
    EXPECT_GT(nth, 1) << "the fault never struck during the report";
}

INSTANTIATE_TEST_SUITE_P(EveryStep, ReportFaultStep, testing::ValuesIn(kReportFaults),
                         test::FaultCaseName());

}  // namespace
}  // namespace morvex
