// The application shell: start and end with the dialog, the About box from the dialog's
// menu, the window icon, and the help command on F1.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DialogTest.h"
#include "app/SetupApp.h"
#include "framework/WinApp.h"
#include "ui/SetupDlg.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
using fw::testing::Key;
namespace Modifier = fw::testing::Modifier;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::CSetupDlg;

constexpr unsigned kSetupHelpContext = 0x20000 + 102;
constexpr unsigned kAboutHelpContext = 0x20000 + 100;

using AppShellTest = DialogTest;

// The About box as it shows itself, checked once it is open.
void CheckAboutBox(DialogDriver& about) {
    EXPECT_EQ(about.Title(), "About MORVEX");
    EXPECT_THAT(about.StaticTexts(),
                ElementsAre("MORVEX Version 1.0", "Free software, without warranty."));
    EXPECT_EQ(about.Text(IDOK), "OK");
    EXPECT_TRUE(about.IsDefaultButton(IDOK));
    EXPECT_EQ(about.Focused(), IDOK);
}

struct AboutClose {
    const char* name;
    std::function<void(DialogDriver&)> close;
};

void PrintTo(const AboutClose& way, std::ostream* out) {
    *out << way.name;
}

class AboutBoxTest : public DialogTest, public ::testing::WithParamInterface<AboutClose> {};

TEST_P(AboutBoxTest, OpensFromTheDialogsMenuAndReturnsToItUnchanged) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x1234, 0x0001, 0x03));
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_VID, "AB");
        const auto items = ui.Items(IDC_ENTRY_LIST);

        fw::testing::DriveNextDialog(script, [&](DialogDriver& about) {
            CheckAboutBox(about);
            GetParam().close(about);
        });
        script.ChooseMenuItem(IDM_ABOUTBOX);
        ui.ContextMenu();

        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_EQ(ui.Text(IDC_VID), "AB");
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST), items);
        EXPECT_TRUE(ui.IsEnabled(IDOK));
        ui.Click(IDCANCEL);
    });

    ASSERT_EQ(script.Menus().size(), 1u);
    const auto& menu = script.Menus().front();
    EXPECT_EQ(menu.ownerTemplateId, IDD_SETUP_DIALOG);
    ASSERT_EQ(menu.items.size(), 2u);
    EXPECT_EQ(menu.items[0].flags, MF_SEPARATOR);
    EXPECT_EQ(menu.items[1].flags, MF_STRING);
    EXPECT_EQ(menu.items[1].id, IDM_ABOUTBOX);
    EXPECT_EQ(menu.items[1].text, "&About...");
    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayOut, AboutBoxTest,
    ::testing::Values(AboutClose{"OkButton", [](DialogDriver& about) { about.Click(IDOK); }},
                      AboutClose{"Enter", [](DialogDriver& about) { about.Press(Key::enter); }},
                      AboutClose{"Escape", [](DialogDriver& about) { about.Press(Key::escape); }},
                      AboutClose{"CloseBox", [](DialogDriver& about) { about.CloseBox(); }}),
    [](const ::testing::TestParamInfo<AboutClose>& info) { return std::string(info.param.name); });

TEST_F(AppShellTest, DismissingTheMenuOpensNothing) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        script.ChooseMenuItem(0);
        ui.ContextMenu();
        EXPECT_EQ(CDialog::GetActiveDialog(), &dialog);
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(script.Menus().size(), 1u);
}

TEST_F(AppShellTest, TheDialogWearsTheProgramIcon) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        EXPECT_TRUE(ui.HasWindowIcon());
        ui.Click(IDCANCEL);
    });
}

struct Ending {
    const char* name;
    int result;
    bool loadFirst;
    std::function<void(DialogDriver&, PromptScript&)> end;
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class ProgramEndTest : public DialogTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(ProgramEndTest, TheProgramEndsWithTheDialog) {
    const std::string driver = WriteDriver(DriverFixture());
    app::CSetupApp app;
    int dialogsSeen = 0;

    fw::testing::DriveNextDialog(script, [&](DialogDriver& ui) {
        ++dialogsSeen;
        EXPECT_EQ(app.m_pMainWnd, &ui.Dialog()) << "the dialog is the main window";
        if (GetParam().loadFirst) {
            Refer(ui, driver);
        }
        GetParam().end(ui, script);
    });

    EXPECT_FALSE(app.InitInstance()) << "no message loop follows the dialog";
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(CDialog::GetActiveDialog(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    SaveOrCancel, ProgramEndTest,
    ::testing::Values(Ending{"Save", IDOK, true,
                             [](DialogDriver& ui, PromptScript& script) {
                                 script.AnswerMessageBox(IDNO);
                                 ui.Click(IDOK);
                             }},
                      Ending{"Cancel", IDCANCEL, false,
                             [](DialogDriver& ui, PromptScript&) { ui.Click(IDCANCEL); }}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

TEST_F(AppShellTest, ArgumentsChangeNothing) {
    app::CSetupApp app;
    char program[] = "morvex";
    char option[] = "--verbose";
    char file[] = "KESTRIN.SYS";
    char* argv[] = {program, option, file, nullptr};

    fw::testing::DriveNextDialog(script, [&](DialogDriver& ui) {
        EXPECT_EQ(ui.Text(IDC_PATH), "");
        EXPECT_FALSE(ui.IsEnabled(IDOK));
        EXPECT_THAT(ui.Items(IDC_ENTRY_LIST), IsEmpty());
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(AfxWinMain(3, argv), 0);
    EXPECT_THAT(script.FileDialogs(), IsEmpty());
}

class HelpTest : public DialogTest {
  protected:
    void SetUp() override {
        help = dir.file("morvex.html");
        std::ofstream(help) << "<!doctype html><title>help</title>";
        app.SetHelpFilePath(help);
    }

    app::CSetupApp app;
    std::string help;
};

TEST_F(HelpTest, F1ShowsTheHelpOfTheFocusedDialog) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        script.AnswerHelp(true);
        ui.Press(Key::f1);

        fw::testing::DriveNextDialog(script, [&](DialogDriver& about) {
            script.AnswerHelp(true);
            about.Press(Key::f1);
            about.Click(IDOK);
        });
        script.ChooseMenuItem(IDM_ABOUTBOX);
        ui.ContextMenu();
        ui.Click(IDCANCEL);
    });

    ASSERT_EQ(script.HelpRequests().size(), 2u);
    EXPECT_EQ(script.HelpRequests()[0].file, help);
    EXPECT_EQ(script.HelpRequests()[0].context, kSetupHelpContext);
    EXPECT_EQ(script.HelpRequests()[1].context, kAboutHelpContext);
    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
}

TEST_F(HelpTest, F1WithShiftCtrlOrAltDoesNothing) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        for (const unsigned modifiers : {Modifier::shift, Modifier::ctrl, Modifier::alt}) {
            ui.Press(Key::f1, modifiers);
        }
        ui.Click(IDCANCEL);
    });
    EXPECT_THAT(script.HelpRequests(), IsEmpty());
    EXPECT_THAT(script.MessageBoxes(), IsEmpty());
}

TEST_F(HelpTest, HelpThatCannotBeShownSaysSo) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        script.AnswerHelp(false);  // the desktop cannot show it
        script.AnswerMessageBox(IDOK);
        ui.Press(Key::f1);
        ExpectLastMessage("ﾍﾙﾌﾟの起動に失敗しました。", MB_ICONEXCLAMATION | MB_OK);

        app.SetHelpFilePath(dir.file("missing.html"));
        script.AnswerMessageBox(IDOK);
        ui.Press(Key::f1);
        ExpectLastMessage("ﾍﾙﾌﾟの起動に失敗しました。", MB_ICONEXCLAMATION | MB_OK);
        EXPECT_TRUE(dialog.IsRunning());
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(script.HelpRequests().size(), 1u) << "a missing page is not offered to the desktop";
    EXPECT_EQ(script.MessageBoxes().size(), 2u);
}

TEST_F(AppShellTest, TheHelpPageSitsBesideTheProgram) {
    app::CSetupApp app;
    EXPECT_EQ(std::filesystem::path(app.GetHelpFilePath()).filename(), "morvex_ui_tests.html");
    EXPECT_EQ(app.GetAppName(), kAppName);
}

TEST(HelpPageTest, HasASectionForEachDialogsHelpContext) {
    std::ifstream in(MORVEX_HELP_PAGE);
    ASSERT_TRUE(in) << MORVEX_HELP_PAGE;
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const unsigned context : {kSetupHelpContext, kAboutHelpContext}) {
        EXPECT_NE(page.find("id=\"" + HelpAnchor(context) + '"'), std::string::npos)
            << HelpAnchor(context);
    }
}

TEST(MinimizedIconOriginTest, CentresTheIconWithHalvesTruncatedTowardZero) {
    struct Case {
        int width, height, iconWidth, iconHeight, x, y;
    };
    for (const Case& c :
         {Case{100, 80, 32, 32, 34, 24}, Case{33, 33, 32, 32, 1, 1}, Case{32, 32, 32, 32, 0, 0},
          Case{10, 20, 32, 32, -10, -5}, Case{160, 31, 16, 16, 72, 8}}) {
        EXPECT_EQ(ui::MinimizedIconOrigin(c.width, c.height, c.iconWidth, c.iconHeight),
                  std::pair(c.x, c.y))
            << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace morvex::test
