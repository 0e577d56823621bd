// The setup dialog driven as a user drives it: real clicks and keys on the real widgets,
// prompts answered ahead, the driver file and the report checked on disk.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DialogTest.h"
#include "support/FaultyFileSystem.h"
#include "ui/SetupDlg.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
using fw::testing::Key;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::CSetupDlg;

// The controls EnableEditing switches, and those that always stay enabled.
constexpr int kEditingControls[] = {IDC_ENTRY_LIST,    IDC_PID,    IDC_VID,      IDC_PROTOCOL,
                                    IDC_WRITE_PROTECT, IDC_UPDATE, IDC_TEXT_OUT, IDOK};
constexpr int kAlwaysEnabled[] = {IDC_REFER, IDCANCEL, IDC_PATH};

// Everything a user can see of the dialog's controls.
struct Screen {
    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::vector<std::string> entries;
    int entry = -1;
    int protocol = -1;
    bool writeProtect = false;

    bool operator==(const Screen&) const = default;
};

Screen Look(const DialogDriver& ui) {
    Screen screen;
    for (const int id : {IDC_PATH, IDC_VID, IDC_PID, IDC_MAX_ENTRIES, IDC_UPDATE}) {
        screen.texts[id] = ui.Text(id);
    }
    for (const int id : kEditingControls) {
        screen.enabled[id] = ui.IsEnabled(id);
    }
    screen.entries = ui.Items(IDC_ENTRY_LIST);
    screen.entry = ui.Selection(IDC_ENTRY_LIST);
    screen.protocol = ui.Selection(IDC_PROTOCOL);
    screen.writeProtect = ui.IsChecked(IDC_WRITE_PROTECT);
    return screen;
}

void ExpectEditing(const DialogDriver& ui, bool enabled) {
    for (const int id : kEditingControls) {
        EXPECT_EQ(ui.IsEnabled(id), enabled) << "control " << id;
    }
    for (const int id : kAlwaysEnabled) {
        EXPECT_TRUE(ui.IsEnabled(id)) << "control " << id;
    }
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A table of capacity 16: two entries (the second write-protected) and a zeroed slot 2.
DriverFixture TwoEntries() {
    return DriverFixture()
        .capacity(16)
        .entry(0x1234, 0x0001, 0x03)
        .entry(0x1234, 0x0002, 0x81)
        .slot(2, 0x0000, 0x0000, 0x00);
}

using SetupDialogTest = DialogTest;

TEST_F(SetupDialogTest, TypicalRunLoadsAddsUpdatesWritesTheReportAndSaves) {
    const std::string driver = WriteDriver(TwoEntries());
    const std::string report = dir.file("list.txt");
    CSetupDlg dialog;

    const int result = Run(dialog, [&](DialogDriver& ui) {
        EXPECT_EQ(ui.Title(), "KESTRIN.SYS VID/PID Setup");
        EXPECT_EQ(ui.Focused(), IDC_REFER);
        EXPECT_EQ(Look(ui), (Screen{{{IDC_PATH, ""},
                                     {IDC_VID, ""},
                                     {IDC_PID, ""},
                                     {IDC_MAX_ENTRIES, ""},
                                     {IDC_UPDATE, "&Update"}},
                                    Look(ui).enabled,
                                    {},
                                    -1,
                                    -1,
                                    false}));

        Refer(ui, driver);
        EXPECT_EQ(ui.Text(IDC_PATH), driver);
        EXPECT_EQ(ui.Text(IDC_MAX_ENTRIES), "16");
        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST),
                    ElementsAre(" VID_1234&PID_0001", " VID_1234&PID_0002", "---- New entry ----"));
        EXPECT_EQ(ui.Selection(IDC_ENTRY_LIST), 0);
        EXPECT_EQ(ui.Text(IDC_VID), "1234");
        EXPECT_EQ(ui.Text(IDC_PID), "0001");
        EXPECT_EQ(ui.Selection(IDC_PROTOCOL), 4);  // "BULK Only"

        // Add a new entry through the marker.
        ui.ClickItem(IDC_ENTRY_LIST, 2);
        EXPECT_EQ(ui.Text(IDC_UPDATE), "&Add");
        ui.ReplaceText(IDC_VID, "04b4");
        ui.ReplaceText(IDC_PID, "1");
        ui.ChooseItem(IDC_PROTOCOL, 1);  // "CBI"
        ui.Click(IDC_UPDATE);
        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST),
                    ElementsAre(" VID_1234&PID_0001", " VID_1234&PID_0002", " VID_04B4&PID_0001",
                                "---- New entry ----"));

        // Update the first entry.
        ui.ClickItem(IDC_ENTRY_LIST, 0);
        ui.ReplaceText(IDC_PID, "0003");
        ui.ChooseItem(IDC_PROTOCOL, 2);  // "CBI(F/W download)"
        ui.Click(IDC_UPDATE);
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST)[0], " VID_1234&PID_0003");

        script.ChooseFile(report);
        script.AnswerMessageBox(IDOK);
        ui.Click(IDC_TEXT_OUT);
        ExpectLastMessage("Text-out done.", MB_OK);

        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
    });

    EXPECT_EQ(result, IDOK);
    ExpectLastMessage("Save settings ?", MB_ICONQUESTION | MB_YESNO);
    EXPECT_EQ(ReadFileBytes(driver), DriverFixture()
                                         .capacity(16)
                                         .entry(0x1234, 0x0003, 0x41)
                                         .entry(0x1234, 0x0002, 0x81)
                                         .entry(0x04B4, 0x0001, 0x01)
                                         .bytes());
    EXPECT_EQ(
        ReadText(report),
        "***** DOS USB Driver PID/VID Setting List ****\r\n\r\n"
        "    File = \"" +
            driver +
            "\"\r\n\r\n"
            "    TotalEntrySpace = 16\r\n"
            "    NumberOfEntry   = 3\r\n\r\n"
            "    VID = 1234  PID = 0003    Protocol = CBI( with F/W download for KVOR-3 ) \r\n"
            "    VID = 1234  PID = 0002    Protocol = CBI (Write Protected)\r\n"
            "    VID = 04B4  PID = 0001    Protocol = CBI \r\n");
}

TEST_F(SetupDialogTest, EditingFollowsTheTwoStates) {
    const std::string good = WriteDriver(TwoEntries());
    const std::string noTable = WriteDriver(DriverFixture().tableAt(std::nullopt), "PLAIN.SYS");
    FaultyFileSystem files;
    CSetupDlg dialog(nullptr, files);

    Run(dialog, [&](DialogDriver& ui) {
        SCOPED_TRACE("dialog start");
        ExpectEditing(ui, false);

        Refer(ui, good);
        ExpectEditing(ui, true);

        script.AnswerMessageBox(IDOK);
        Refer(ui, noTable);
        ExpectEditing(ui, false);

        Refer(ui, good);
        ExpectEditing(ui, true);

        files.Inject(Fault::readFails, OpenMode::readExisting);
        script.AnswerMessageBox(IDOK);
        Refer(ui, good);
        ExpectEditing(ui, false);
        ui.Click(IDCANCEL);
    });
}

// Every message the dialog raises, with its icon and buttons.
struct MessageCase {
    const char* name;
    std::string_view text;
    unsigned type;
    bool noMemory = false;                 // the buffer cannot be obtained
    std::optional<Fault> fault = {};       // injected for every file opened
    DriverFixture fixture = TwoEntries();  // the driver chosen
    std::function<void(DialogDriver&, PromptScript&, const std::string&)> act = {};
};

void PrintTo(const MessageCase& c, std::ostream* out) {
    *out << c.name;
}

std::string MessageCaseName(const ::testing::TestParamInfo<MessageCase>& info) {
    return info.param.name;
}

class SetupDialogMessageTest : public DialogTest,
                               public ::testing::WithParamInterface<MessageCase> {};

TEST_P(SetupDialogMessageTest, ShowsItsMessageWithItsIconAndButtons) {
    const MessageCase& c = GetParam();
    const std::string driver = WriteDriver(c.fixture);
    FaultyFileSystem files;
    CSetupDlg dialog(nullptr, files, [&](std::size_t size) {
        return c.noMemory ? nullptr : std::make_unique<std::uint8_t[]>(size);
    });

    Run(dialog, [&](DialogDriver& ui) {
        if (c.fault) {
            files.Inject(*c.fault, OpenMode::readExisting);
        }
        if (c.act) {
            Refer(ui, driver);
            c.act(ui, script, dir.path());
        } else {
            // The message comes from loading; no file dialog follows a memory failure.
            script.AnswerMessageBox(IDOK);
            if (c.noMemory) {
                ui.Click(IDC_REFER);
            } else {
                Refer(ui, driver);
            }
        }
        if (dialog.IsRunning()) {
            ui.Click(IDCANCEL);
        }
    });

    ASSERT_FALSE(script.MessageBoxes().empty());
    ExpectLastMessage(c.text, c.type);
}

void Answer(PromptScript& script, int answer) {
    script.AnswerMessageBox(answer);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, SetupDialogMessageTest,
    ::testing::Values(
        MessageCase{"NotEnoughMemory", "Not enoght memory space.", MB_ICONEXCLAMATION | MB_OK,
                    true},
        MessageCase{"CannotRead", "Can not read driver's image.", MB_ICONEXCLAMATION | MB_OK, false,
                    Fault::readFails},
        MessageCase{"InvalidImage", "Invalid driver's image.", MB_ICONEXCLAMATION | MB_OK, false,
                    std::nullopt, DriverFixture().tableAt(std::nullopt)},
        MessageCase{"MaximumEntryOver", "Maximum entry over.", MB_ICONEXCLAMATION | MB_OK, false,
                    std::nullopt,
                    DriverFixture().capacity(4).entry(1, 1, 3).entry(2, 2, 3).entry(3, 3, 3),
                    [](DialogDriver& ui, PromptScript& script, const std::string&) {
                        ui.ClickItem(IDC_ENTRY_LIST, 3);
                        Answer(script, IDOK);
                        ui.Click(IDC_UPDATE);
                    }},
        MessageCase{"InvalidHex", "Invalid hex string.", MB_ICONEXCLAMATION | MB_OK, false,
                    std::nullopt, TwoEntries(),
                    [](DialogDriver& ui, PromptScript& script, const std::string&) {
                        ui.ReplaceText(IDC_VID, "12g4");
                        Answer(script, IDOK);
                        ui.Click(IDC_UPDATE);
                    }},
        MessageCase{"InvalidProtocol", "Invalid protocol type.", MB_ICONEXCLAMATION | MB_OK, false,
                    std::nullopt, DriverFixture().entry(0x1111, 0x2222, 0x07),
                    [](DialogDriver& ui, PromptScript& script, const std::string&) {
                        Answer(script, IDOK);
                        ui.Click(IDC_UPDATE);
                    }},
        MessageCase{"DuplicateEntry", "The same VID/PID is already exist.",
                    MB_ICONEXCLAMATION | MB_OK, false, std::nullopt,
                    DriverFixture().entry(0x1234, 1, 3).entry(0x5678, 2, 3),
                    [](DialogDriver& ui, PromptScript& script, const std::string&) {
                        ui.ClickItem(IDC_ENTRY_LIST, 1);
                        ui.ReplaceText(IDC_VID, "1234");
                        ui.ReplaceText(IDC_PID, "0001");
                        Answer(script, IDOK);
                        ui.Click(IDC_UPDATE);
                    }},
        MessageCase{"SaveSettings", "Save settings ?", MB_ICONQUESTION | MB_YESNO, false,
                    std::nullopt, TwoEntries(),
                    [](DialogDriver& ui, PromptScript& script, const std::string&) {
                        Answer(script, IDNO);
                        ui.Click(IDOK);
                    }},
        MessageCase{"CannotUpdate", "Can not update driver's image.", MB_ICONEXCLAMATION | MB_OK,
                    false, std::nullopt, TwoEntries(),
                    [](DialogDriver& ui, PromptScript& script, const std::string& folder) {
                        std::filesystem::remove(folder + "/KESTRIN.SYS");
                        Answer(script, IDYES);
                        Answer(script, IDOK);
                        ui.Click(IDOK);
                    }},
        MessageCase{"TextOutFailure", "Text-out failure.", MB_ICONEXCLAMATION | MB_OK, false,
                    std::nullopt, TwoEntries(),
                    [](DialogDriver& ui, PromptScript& script, const std::string& folder) {
                        script.ChooseFile(folder + "/no such folder/list.txt");
                        Answer(script, IDOK);
                        ui.Click(IDC_TEXT_OUT);
                    }},
        MessageCase{"TextOutDone", "Text-out done.", MB_OK, false, std::nullopt, TwoEntries(),
                    [](DialogDriver& ui, PromptScript& script, const std::string& folder) {
                        script.ChooseFile(folder + "/list.txt");
                        Answer(script, IDOK);
                        ui.Click(IDC_TEXT_OUT);
                    }}),
    MessageCaseName);

TEST_F(SetupDialogTest, MessagesFromLoadingAreAnsweredBeforeAnythingElseHappens) {
    // Each loading message is the only prompt after the file dialog: a memory failure
    // shows no file dialog at all.
    CSetupDlg dialog(nullptr, SystemFileSystem(), [](std::size_t) { return nullptr; });
    Run(dialog, [&](DialogDriver& ui) {
        script.AnswerMessageBox(IDOK);
        ui.Click(IDC_REFER);
        EXPECT_THAT(script.FileDialogs(), IsEmpty());
        ExpectEditing(ui, false);
        ui.Click(IDCANCEL);
    });
}

TEST_F(SetupDialogTest, EnterInTheVendorIdSavesAsTheDefaultButton) {
    const std::string driver = WriteDriver(TwoEntries());
    const auto before = ReadFileBytes(driver);
    CSetupDlg dialog;

    const int result = Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_VID, "ABCD");
        EXPECT_TRUE(ui.IsDefaultButton(IDOK));
        script.AnswerMessageBox(IDNO);
        ui.Press(Key::enter);
    });

    EXPECT_EQ(result, IDOK);
    ExpectLastMessage("Save settings ?", MB_ICONQUESTION | MB_YESNO);
    EXPECT_EQ(ReadFileBytes(driver), before);
}

TEST_F(SetupDialogTest, EnterDoesNothingWhileSaveIsDisabled) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        ui.Focus(IDC_PATH);
        ui.Press(Key::enter);
        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_THAT(script.MessageBoxes(), IsEmpty());
        ui.Click(IDCANCEL);
    });
}

TEST_F(SetupDialogTest, NoToSaveSettingsWritesNothingAndCloses) {
    const std::string driver = WriteDriver(TwoEntries());
    const auto before = ReadFileBytes(driver);
    CSetupDlg dialog;

    const int result = Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_PID, "0009");
        ui.Click(IDC_UPDATE);
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST)[0], " VID_1234&PID_0009");
        script.AnswerMessageBox(IDNO);
        ui.Click(IDOK);
    });

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadFileBytes(driver), before);
}

TEST_F(SetupDialogTest, YesRightAfterLoadingWritesBackTheBytesRead) {
    // Longer than the 64 KiB read: the tail stays as it was, the length too.
    DriverFixture fixture = TwoEntries();
    fixture.size(70000).bytesAt(69990, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const std::string driver = WriteDriver(fixture);
    FaultyFileSystem files;
    CSetupDlg dialog(nullptr, files);

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        const int opensBefore = files.opens();
        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
        EXPECT_EQ(files.opens(), opensBefore + 1) << "the save opened the driver file";
    });

    EXPECT_EQ(ReadFileBytes(driver), fixture.bytes());
}

TEST_F(SetupDialogTest, ValuesTypedButNotAppliedAreNotSaved) {
    const std::string driver = WriteDriver(TwoEntries());
    const auto before = ReadFileBytes(driver);
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_VID, "ABCD");
        ui.ChooseItem(IDC_PROTOCOL, 5);
        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
    });

    EXPECT_EQ(ReadFileBytes(driver), before);
}

TEST_F(SetupDialogTest, AFailedSaveShowsItsMessageAndStillCloses) {
    const std::string driver = WriteDriver(TwoEntries());
    const auto before = ReadFileBytes(driver);
    FaultyFileSystem files;
    CSetupDlg dialog(nullptr, files);

    const int result = Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_PID, "0009");
        ui.Click(IDC_UPDATE);
        files.Inject(Fault::writeFails, OpenMode::readWriteExisting);
        script.AnswerMessageBox(IDYES);
        script.AnswerMessageBox(IDOK);
        ui.Click(IDOK);
    });

    EXPECT_EQ(result, IDOK);
    ExpectLastMessage("Can not update driver's image.", MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(ReadFileBytes(driver), before);
}

TEST_F(SetupDialogTest, CancelInTheFileDialogChangesNothing) {
    const std::string driver = WriteDriver(TwoEntries());
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        const Screen atStart = Look(ui);
        script.CancelFileDialog();
        ui.Click(IDC_REFER);
        EXPECT_EQ(Look(ui), atStart);

        Refer(ui, driver);
        ui.ClickItem(IDC_ENTRY_LIST, 1);
        ui.ReplaceText(IDC_VID, "AB");  // typed, not applied
        const Screen loaded = Look(ui);
        script.CancelFileDialog();
        ui.Click(IDC_REFER);
        EXPECT_EQ(Look(ui), loaded);
        ui.Click(IDCANCEL);
    });

    ASSERT_EQ(script.FileDialogs().size(), 3u);
    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
}

TEST_F(SetupDialogTest, TheReferDialogAsksForAnExistingDriverFile) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        script.CancelFileDialog();
        ui.Click(IDC_REFER);
        ui.Click(IDCANCEL);
    });

    ASSERT_EQ(script.FileDialogs().size(), 1u);
    const auto& shown = script.FileDialogs().front();
    EXPECT_EQ(shown.request.title, "Select location of KESTRIN.SYS");
    ASSERT_EQ(shown.request.filters.size(), 2u);
    EXPECT_EQ(shown.request.filters[0].description, "KESTRIN Driver Files (kestrin.sys)");
    EXPECT_EQ(shown.request.filters[0].patterns, "kestrin.sys");
    EXPECT_EQ(shown.request.filters[1].description, "All Files (*.*)");
    EXPECT_EQ(shown.request.filters[1].patterns, "*.*");
    EXPECT_EQ(shown.request.defaultExtension, ".sys");
    EXPECT_TRUE(shown.request.open);
    EXPECT_TRUE(shown.request.initialName.empty());
    EXPECT_NE(shown.request.flags & OFN_FILEMUSTEXIST, 0u);
    EXPECT_EQ(shown.request.flags & OFN_HIDEREADONLY, 0u) << "the read-only option is offered";
    EXPECT_EQ(shown.ownerTemplateId, IDD_SETUP_DIALOG);
}

TEST_F(SetupDialogTest, TextOutReplacesAnExistingReportWithoutAsking) {
    const std::string driver = WriteDriver(DriverFixture().capacity(16));
    const std::string report = dir.file("list.txt");
    {
        std::ofstream old(report, std::ios::binary);
        old << std::string(5000, 'x');
    }
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        script.ChooseFile(report);
        script.AnswerMessageBox(IDOK);
        ui.Click(IDC_TEXT_OUT);
        ui.Click(IDCANCEL);
    });

    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    ExpectLastMessage("Text-out done.", MB_OK);
    EXPECT_EQ(ReadText(report),
              "***** DOS USB Driver PID/VID Setting List ****\r\n\r\n"
              "    File = \"" +
                  driver +
                  "\"\r\n\r\n"
                  "    TotalEntrySpace = 16\r\n"
                  "    NumberOfEntry   = 0\r\n\r\n");
    const auto& shown = script.FileDialogs().back();
    EXPECT_EQ(shown.request.title, "Select the Text-out file");
    ASSERT_EQ(shown.request.filters.size(), 2u);
    EXPECT_EQ(shown.request.filters[0].description, "Text Files (*.txt)");
    EXPECT_EQ(shown.request.filters[0].patterns, "*.txt");
    EXPECT_EQ(shown.request.defaultExtension, ".txt");
    EXPECT_EQ(shown.request.flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY), 0u);
}

TEST_F(SetupDialogTest, AnInvalidImageShowsNoCapacityAndDisablesSaveAndTextOut) {
    const std::string good = WriteDriver(TwoEntries());
    const std::string plain = WriteDriver(DriverFixture().tableAt(std::nullopt), "PLAIN.SYS");
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, good);
        script.AnswerMessageBox(IDOK);
        Refer(ui, plain);
        EXPECT_EQ(ui.Text(IDC_MAX_ENTRIES), "0");
        EXPECT_EQ(ui.Text(IDC_PATH), plain);
        EXPECT_FALSE(ui.IsEnabled(IDOK));
        EXPECT_FALSE(ui.IsEnabled(IDC_TEXT_OUT));
        // The earlier list stays, disabled.
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST).size(), 3u);
        EXPECT_FALSE(ui.IsEnabled(IDC_ENTRY_LIST));
        ui.Click(IDCANCEL);
    });
    ExpectLastMessage("Invalid driver's image.", MB_ICONEXCLAMATION | MB_OK);
}

TEST_F(SetupDialogTest, AnEmptyTableSelectsTheMarkerAndOffersAdd) {
    const std::string driver =
        WriteDriver(DriverFixture().capacity(16).slot(0, 0x1111, 0x2222, 0x02));
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST), ElementsAre("---- New entry ----"));
        EXPECT_EQ(ui.Selection(IDC_ENTRY_LIST), 0);
        EXPECT_EQ(ui.Text(IDC_UPDATE), "&Add");
        EXPECT_EQ(ui.Text(IDC_VID), "1111");
        EXPECT_EQ(ui.Text(IDC_PID), "2222");
        EXPECT_EQ(ui.Selection(IDC_PROTOCOL), 5);  // "CB(Non interrupt)"
        ui.Click(IDCANCEL);
    });
}

TEST_F(SetupDialogTest, AWriteProtectedEntryCannotBeAppliedUntilAnotherIsSelected) {
    const std::string driver = WriteDriver(DriverFixture()
                                               .entry(0x0001, 0x0001, 0x03)
                                               .entry(0x0002, 0x0002, 0x83)
                                               .entry(0x0003, 0x0003, 0x01)
                                               .slot(3, 0x0000, 0x0000, 0x00));
    const auto before = ReadFileBytes(driver);
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ClickItem(IDC_ENTRY_LIST, 1);
        EXPECT_TRUE(ui.IsChecked(IDC_WRITE_PROTECT));
        EXPECT_FALSE(ui.IsEnabled(IDC_WRITE_PROTECT));
        EXPECT_FALSE(ui.IsEnabled(IDC_UPDATE));
        for (const int id : {IDC_VID, IDC_PID, IDC_PROTOCOL}) {
            EXPECT_TRUE(ui.IsEnabled(id)) << "control " << id;
        }
        // The disabled controls ignore the user.
        ui.ReplaceText(IDC_PID, "0077");
        ui.Click(IDC_WRITE_PROTECT);
        ui.Click(IDC_UPDATE);
        EXPECT_TRUE(ui.IsChecked(IDC_WRITE_PROTECT));
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST)[1], " VID_0002&PID_0002");

        ui.ClickItem(IDC_ENTRY_LIST, 2);
        EXPECT_TRUE(ui.IsEnabled(IDC_WRITE_PROTECT));
        EXPECT_TRUE(ui.IsEnabled(IDC_UPDATE));

        ui.ClickItem(IDC_ENTRY_LIST, 1);
        ui.ClickItem(IDC_ENTRY_LIST, 3);  // the marker, its slot not protected
        EXPECT_TRUE(ui.IsEnabled(IDC_WRITE_PROTECT));
        EXPECT_TRUE(ui.IsEnabled(IDC_UPDATE));
        ui.Click(IDCANCEL);
    });

    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
    EXPECT_EQ(ReadFileBytes(driver), before);
}

TEST_F(SetupDialogTest, AnAddedEntryIsSelectedReformattedAndOffersUpdate) {
    const std::string driver = WriteDriver(TwoEntries());
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ClickItem(IDC_ENTRY_LIST, 2);
        ui.ReplaceText(IDC_VID, "1a");
        EXPECT_EQ(ui.Text(IDC_VID), "1A") << "the edit forces upper case";
        ui.ReplaceText(IDC_PID, "b");
        ui.ChooseItem(IDC_PROTOCOL, 4);
        ui.Click(IDC_WRITE_PROTECT);
        ui.Click(IDC_UPDATE);

        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST),
                    ElementsAre(" VID_1234&PID_0001", " VID_1234&PID_0002", " VID_001A&PID_000B",
                                "---- New entry ----"));
        EXPECT_EQ(ui.Selection(IDC_ENTRY_LIST), 2);
        EXPECT_EQ(ui.Text(IDC_UPDATE), "&Update");
        EXPECT_EQ(ui.Text(IDC_VID), "001A");
        EXPECT_EQ(ui.Text(IDC_PID), "000B");
        EXPECT_EQ(ui.Selection(IDC_PROTOCOL), 4);
        // A write-protected entry, once shown, cannot be applied again.
        EXPECT_TRUE(ui.IsChecked(IDC_WRITE_PROTECT));
        EXPECT_FALSE(ui.IsEnabled(IDC_UPDATE));
        ui.Click(IDCANCEL);
    });
}

TEST_F(SetupDialogTest, EachProtocolPositionWritesItsCode) {
    const std::string driver = WriteDriver(DriverFixture().capacity(16).slot(0, 0, 0, 0));
    CSetupDlg dialog;
    const std::uint8_t expected[] = {0x01, 0x41, 0x04, 0x03, 0x02};

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        for (int position = 1; position <= 5; ++position) {
            ui.ClickItem(IDC_ENTRY_LIST, position - 1);  // the marker
            ASSERT_EQ(ui.Text(IDC_UPDATE), "&Add");
            ui.ReplaceText(IDC_VID, "AB");
            ui.ReplaceText(IDC_PID, std::to_string(position));
            ui.ChooseItem(IDC_PROTOCOL, position);
            // The slots past the first are the fixture's pattern; clear its write protect.
            if (ui.IsChecked(IDC_WRITE_PROTECT)) {
                ui.Click(IDC_WRITE_PROTECT);
            }
            ui.Click(IDC_UPDATE);
        }
        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
    });

    DriverFixture written = DriverFixture().capacity(16);
    for (int i = 0; i < 5; ++i) {
        written.entry(0x00AB, static_cast<std::uint16_t>(i + 1), expected[i]);
    }
    const auto bytes = ReadFileBytes(driver);
    for (int i = 0; i < 5; ++i) {
        const std::size_t at = written.slotOffset(i);
        EXPECT_EQ(bytes[at + 4], expected[i]) << "position " << i + 1;
        EXPECT_EQ(bytes[at + 2], i + 1);
    }
}

TEST_F(SetupDialogTest, ReloadingWithUnsavedEditsAsksNothing) {
    const std::string first = WriteDriver(TwoEntries());
    const std::string second =
        WriteDriver(DriverFixture().capacity(8).entry(0x0E0F, 0x0001, 0x02), "SECOND.SYS");
    const std::string plain = WriteDriver(DriverFixture().tableAt(std::nullopt), "PLAIN.SYS");
    const auto firstBefore = ReadFileBytes(first);
    const auto secondBefore = ReadFileBytes(second);
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, first);
        ui.ReplaceText(IDC_PID, "0042");
        ui.Click(IDC_UPDATE);

        Refer(ui, second);
        EXPECT_THAT(script.MessageBoxes(), IsEmpty());
        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST),
                    ElementsAre(" VID_0E0F&PID_0001", "---- New entry ----"));
        EXPECT_EQ(ui.Text(IDC_MAX_ENTRIES), "8");
        ui.ReplaceText(IDC_PID, "0043");
        ui.Click(IDC_UPDATE);

        // A failing reload asks nothing either; only its own message appears.
        script.AnswerMessageBox(IDOK);
        Refer(ui, plain);
        ASSERT_EQ(script.MessageBoxes().size(), 1u);
        ui.Click(IDCANCEL);
    });

    ExpectLastMessage("Invalid driver's image.", MB_ICONEXCLAMATION | MB_OK);
    EXPECT_EQ(ReadFileBytes(first), firstBefore);
    EXPECT_EQ(ReadFileBytes(second), secondBefore);
}

TEST_F(SetupDialogTest, ALongPathNeitherBlocksUpdatesNorKeepsSaveFromClosing) {
    const std::string folder = dir.file(std::string(150, 'd'));
    std::filesystem::create_directory(folder);
    const std::string driver = TwoEntries().write(folder + "/KESTRIN.SYS");
    ASSERT_GT(driver.size(), 128u);
    CSetupDlg dialog;

    const int result = Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        EXPECT_EQ(ui.Text(IDC_PATH), driver);
        ui.ReplaceText(IDC_PID, "0009");
        ui.Click(IDC_UPDATE);
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST)[0], " VID_1234&PID_0009");
        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
    });

    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(script.MessageBoxes().size(), 1u) << "only the save question";
    const auto bytes = ReadFileBytes(driver);
    EXPECT_EQ(bytes[TwoEntries().slotOffset(0) + 2], 0x09);
}

struct CancelWay {
    const char* name;
    std::function<void(DialogDriver&)> cancel;
};

void PrintTo(const CancelWay& way, std::ostream* out) {
    *out << way.name;
}

class SetupDialogCancelTest : public DialogTest, public ::testing::WithParamInterface<CancelWay> {};

TEST_P(SetupDialogCancelTest, EndsAtOnceWithoutAQuestionAndLosesEdits) {
    const std::string driver = WriteDriver(TwoEntries());
    const auto before = ReadFileBytes(driver);
    CSetupDlg dialog;

    const int result = Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_PID, "0009");
        ui.Click(IDC_UPDATE);
        GetParam().cancel(ui);
    });

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
    EXPECT_EQ(ReadFileBytes(driver), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, SetupDialogCancelTest,
    ::testing::Values(CancelWay{"CancelButton", [](DialogDriver& ui) { ui.Click(IDCANCEL); }},
                      CancelWay{"Escape", [](DialogDriver& ui) { ui.Press(Key::escape); }},
                      CancelWay{"CloseBox", [](DialogDriver& ui) { ui.CloseBox(); }}),
    [](const ::testing::TestParamInfo<CancelWay>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvex::test
