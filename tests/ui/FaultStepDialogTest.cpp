// The setup dialog with the file layer failing at each step of a load, a save and a report in
// turn: the message that step ends in, the controls afterwards, and never a success shown
// for a step that failed; and a report aimed at the driver itself.
#include <functional>

#include "DialogTest.h"
#include "report/TextReport.h"
#include "support/FaultyFileSystem.h"
#include "ui/SetupDlg.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
using ::testing::ElementsAre;
using ui::CSetupDlg;

// 4 KiB transfers: a 20,000-byte driver takes several reads and writes, so a fault can strike
// at the first, in the middle, at the last, and at the read that finds the end.
constexpr std::size_t kChunk = 4096;
constexpr std::size_t kDriverSize = 20000;
constexpr int kMaxSteps = 16;

constexpr int kEditingControls[] = {IDC_ENTRY_LIST,    IDC_PID,    IDC_VID,      IDC_PROTOCOL,
                                    IDC_WRITE_PROTECT, IDC_UPDATE, IDC_TEXT_OUT, IDOK};

DriverFixture Driver(std::uint16_t firstPid = 0x0001) {
    return DriverFixture()
        .size(kDriverSize)
        .capacity(16)
        .entry(0x1234, firstPid, 0x03)
        .entry(0x5678, 0x0002, 0x01);
}

// Whether `fault` at step `nth` strikes when the core alone does `operation` over the same
// chunked file layer: the dialog must end in the failure message exactly then.
bool Strikes(Fault fault, OpenMode mode, int nth,
             const std::function<void(FaultyFileSystem&)>& operation) {
    FaultyFileSystem probe;
    probe.LimitTransfers(kChunk);
    probe.Inject(fault, mode, nth);
    operation(probe);
    return probe.struck() > 0;
}

void ExpectEditing(const DialogDriver& ui, bool enabled) {
    for (const int id : kEditingControls) {
        EXPECT_EQ(ui.IsEnabled(id), enabled) << "control " << id;
    }
}

class FaultStepDialogTest : public DialogTest, public ::testing::WithParamInterface<Fault> {};

// A failed read shows "Can not read driver's image." and leaves editing off with the earlier
// list; a read that merely stops early is the end of the file and loads what arrived.
TEST_P(FaultStepDialogTest, ReferEndsInTheReadMessageWheneverTheReadFailed) {
    const Fault fault = GetParam();
    const std::string earlier =
        WriteDriver(DriverFixture().capacity(4).entry(0xAAAA, 0xBBBB, 0x02), "EARLIER.SYS");
    const std::string chosen = WriteDriver(Driver());
    FaultyFileSystem files;
    files.LimitTransfers(kChunk);
    CSetupDlg dialog(nullptr, files);

    int nth = 1;
    Run(dialog, [&](DialogDriver& ui) {
        for (; nth <= kMaxSteps; ++nth) {
            SCOPED_TRACE(::testing::Message() << FaultName(fault) << " at step " << nth);
            files.Inject(Fault::none);
            Refer(ui, earlier);
            ASSERT_EQ(ui.Text(IDC_MAX_ENTRIES), "4");

            const bool strikes = Strikes(fault, OpenMode::readExisting, nth, [&](auto& probe) {
                DriverImage image(probe);
                image.AllocateBuffer();
                image.Load(chosen);
            });
            const bool fails = strikes && fault != Fault::readStopsShort;
            files.Inject(fault, OpenMode::readExisting, nth);
            const std::size_t shownBefore = script.MessageBoxes().size();
            if (fails) {
                script.AnswerMessageBox(IDOK);
            }
            Refer(ui, chosen);
            ASSERT_EQ(files.struck() > 0, strikes) << "the dialog read other steps than the core";
            EXPECT_EQ(ui.Text(IDC_PATH), chosen);
            if (fails) {
                ExpectLastMessage("Can not read driver's image.", MB_ICONEXCLAMATION | MB_OK);
                ExpectEditing(ui, false);
                EXPECT_EQ(ui.Text(IDC_MAX_ENTRIES), "0");
                EXPECT_THAT(ui.Items(IDC_ENTRY_LIST),
                            ElementsAre(" VID_AAAA&PID_BBBB", "---- New entry ----"));
            } else {
                EXPECT_EQ(script.MessageBoxes().size(), shownBefore) << "a message for a load";
                ExpectEditing(ui, true);
                EXPECT_EQ(ui.Text(IDC_MAX_ENTRIES), "16");
                EXPECT_THAT(
                    ui.Items(IDC_ENTRY_LIST),
                    ElementsAre(" VID_1234&PID_0001", " VID_5678&PID_0002", "---- New entry ----"));
            }
            if (!strikes) {
                break;
            }
        }
        ui.Click(IDCANCEL);
    });
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
}

// A failed save shows "Can not update driver's image." after "Save settings ?" and closes;
// the file then holds each byte either as it was or as the image has it. The file is zeroed
// after the load, so a write that goes missing anywhere would show.
TEST_P(FaultStepDialogTest, SaveEndsInTheUpdateMessageWheneverTheSaveFailed) {
    const Fault fault = GetParam();
    const std::vector<std::uint8_t> zeros(kDriverSize, 0);
    const std::vector<std::uint8_t> edited = Driver(0x0009).bytes();

    int nth = 1;
    for (; nth <= kMaxSteps; ++nth) {
        SCOPED_TRACE(::testing::Message() << FaultName(fault) << " at step " << nth);
        const std::string driver = WriteDriver(Driver());
        const bool strikes = Strikes(fault, OpenMode::readWriteExisting, nth, [&](auto& probe) {
            DriverImage image(probe);
            image.AllocateBuffer();
            image.Load(driver);
            image.Save(driver);
        });
        FaultyFileSystem files;
        files.LimitTransfers(kChunk);
        CSetupDlg dialog(nullptr, files);

        const int result = Run(dialog, [&](DialogDriver& ui) {
            Refer(ui, driver);
            ui.ReplaceText(IDC_PID, "0009");
            ui.Click(IDC_UPDATE);
            WriteFileBytes(driver, zeros);
            files.Inject(fault, OpenMode::readWriteExisting, nth);
            script.AnswerMessageBox(IDYES);
            if (strikes) {
                script.AnswerMessageBox(IDOK);
            }
            ui.Click(IDOK);
        });

        EXPECT_EQ(result, IDOK);
        ASSERT_EQ(files.struck() > 0, strikes) << "the dialog wrote other steps than the core";
        const auto onDisk = ReadFileBytes(driver);
        ASSERT_EQ(onDisk.size(), kDriverSize);
        if (!strikes) {
            ExpectLastMessage("Save settings ?", MB_ICONQUESTION | MB_YESNO);
            EXPECT_EQ(onDisk, edited);
            break;
        }
        ExpectLastMessage("Can not update driver's image.", MB_ICONEXCLAMATION | MB_OK);
        for (std::size_t i = 0; i < onDisk.size(); ++i) {
            ASSERT_TRUE(onDisk[i] == 0 || onDisk[i] == edited[i]) << "stray byte at " << i;
        }
    }
    ASSERT_LE(nth, kMaxSteps) << "the fault kept striking";
    EXPECT_GT(nth, 1) << "the fault never struck during a save";
}

// "Text out" says "Text-out failure." for every failed step of the report and "Text-out
// done." only when the report went through.
TEST_P(FaultStepDialogTest, TextOutSaysDoneOnlyWhenTheReportWentThrough) {
    const Fault fault = GetParam();
    const std::string driver = WriteDriver(Driver());
    const std::string report = dir.file("list.txt");
    DriverImage reference;
    reference.AllocateBuffer();
    ASSERT_EQ(reference.Load(driver), LoadOutcome::loaded);
    const std::string expected = TextReport::FormatReport(reference, driver);
    FaultyFileSystem files;
    // 100-byte writes: the report takes several.
    files.LimitTransfers(100);
    CSetupDlg dialog(nullptr, files);

    int nth = 1;
    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        for (; nth <= kMaxSteps * 4; ++nth) {
            SCOPED_TRACE(::testing::Message() << FaultName(fault) << " at step " << nth);
            files.Inject(fault, OpenMode::createOrReplace, nth);
            script.ChooseFile(report);
            script.AnswerMessageBox(IDOK);
            ui.Click(IDC_TEXT_OUT);
            // A write the system takes and loses is not seen: nothing reads a report back.
            const bool failed = files.struck() > 0 && fault != Fault::writeIgnored;
            if (failed) {
                ExpectLastMessage("Text-out failure.", MB_ICONEXCLAMATION | MB_OK);
            } else {
                ExpectLastMessage("Text-out done.", MB_OK);
            }
            if (files.struck() == 0) {
                const auto text = ReadFileBytes(report);
                EXPECT_EQ(std::string(text.begin(), text.end()), expected);
                break;
            }
        }
        ui.Click(IDCANCEL);
    });
    ASSERT_LE(nth, kMaxSteps * 4) << "the fault kept striking";
}

// Choosing the driver itself as the report's file must not wipe the driver: the report is
// refused with "Text-out failure." and the driver, then saved, is whole.
TEST_F(DialogTest, TextOutOntoTheDriverIsAFailureAndKeepsTheDriver) {
    const DriverFixture fixture = Driver().size(70000);
    const std::string driver = WriteDriver(fixture);
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        script.ChooseFile(driver);
        script.AnswerMessageBox(IDOK);
        ui.Click(IDC_TEXT_OUT);
        ExpectLastMessage("Text-out failure.", MB_ICONEXCLAMATION | MB_OK);
        EXPECT_EQ(ReadFileBytes(driver), fixture.bytes());
        ui.Click(IDCANCEL);
    });

    EXPECT_EQ(ReadFileBytes(driver), fixture.bytes());
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultStepDialogTest, ::testing::ValuesIn(kEveryFault),
                         FaultCaseName());

}  // namespace
}  // namespace morvex::test
