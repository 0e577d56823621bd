// The dialogs as the templates lay them out: positions in dialog units of the dialog font,
// the tab order, label mnemonics, and the edits' styles.
#include <filesystem>

#include "DialogTest.h"
#include "ui/AboutDlg.h"
#include "ui/SetupDlg.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
using fw::testing::Key;
namespace Modifier = fw::testing::Modifier;

using LayoutTest = DialogTest;

void ExpectTemplateLayout(const DialogDriver& ui, const DialogTemplate& dialog) {
    const PixelRect size = ui.MapDialogRect(dialog.rect);
    EXPECT_EQ(ui.ClientRect(), (PixelRect{0, 0, size.width, size.height}));
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == IDC_STATIC) {
            continue;
        }
        const PixelRect expected = ui.MapDialogRect(control.rect);
        const PixelRect actual = ui.ControlRect(control.id);
        SCOPED_TRACE("control " + std::to_string(control.id));
        EXPECT_EQ(actual.x, expected.x);
        EXPECT_EQ(actual.y, expected.y);
        EXPECT_EQ(actual.width, expected.width);
        if (control.kind == ControlKind::dropDownList) {
            // The template gives the opened list's height; the closed box is lower.
            EXPECT_LT(actual.height, expected.height);
        } else {
            EXPECT_EQ(actual.height, expected.height);
        }
    }
}

TEST_F(LayoutTest, ControlsSitWhereTheTemplatesPutThem) {
    ui::CSetupDlg setup;
    Run(setup, [&](DialogDriver& ui) {
        ExpectTemplateLayout(ui, *FindDialog(IDD_SETUP_DIALOG));

        fw::testing::DriveNextDialog(script, [&](DialogDriver& about) {
            ExpectTemplateLayout(about, *FindDialog(IDD_ABOUTBOX));
            about.Click(IDOK);
        });
        script.ChooseMenuItem(IDM_ABOUTBOX);
        ui.ContextMenu();
        ui.Click(IDCANCEL);
    });
}

TEST_F(LayoutTest, DialogUnitsComeFromTheDialogFont) {
    ui::CSetupDlg setup;
    Run(setup, [&](DialogDriver& ui) {
        const PixelRect base = ui.MapDialogRect({0, 0, 4, 8});
        // A 9 pt face at 96 dpi: about 6 or 7 pixels wide and 13 to 16 high.
        EXPECT_GE(base.width, 5);
        EXPECT_LE(base.width, 8);
        EXPECT_GE(base.height, 12);
        EXPECT_LE(base.height, 17);
        if (std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf")) {
            EXPECT_EQ(ui.FontFamily(), "Tahoma");
        }
        ui.Click(IDCANCEL);
    });
}

TEST_F(LayoutTest, TabVisitsTheTabStopsInTemplateOrder) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x1234, 0x0001, 0x03));
    ui::CSetupDlg setup;
    std::vector<int> visited;

    Run(setup, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.Focus(IDC_REFER);
        for (int i = 0; i < 10; ++i) {
            ui.Press(Key::tab);
            visited.push_back(ui.Focused());
        }
        ui.Click(IDCANCEL);
    });

    EXPECT_EQ(visited,
              (std::vector<int>{IDC_ENTRY_LIST, IDC_VID, IDC_PID, IDC_PROTOCOL, IDC_WRITE_PROTECT,
                                IDC_UPDATE, IDOK, IDCANCEL, IDC_TEXT_OUT, IDC_REFER}));
}

TEST_F(LayoutTest, LabelMnemonicsMoveTheFocusToTheControlsAfterThem) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x1234, 0x0001, 0x03));
    ui::CSetupDlg setup;

    Run(setup, [&](DialogDriver& ui) {
        Refer(ui, driver);
        const std::pair<char, int> mnemonics[] = {
            {'v', IDC_VID}, {'l', IDC_ENTRY_LIST}, {'p', IDC_PID}, {'t', IDC_PROTOCOL}};
        for (const auto& [letter, id] : mnemonics) {
            ui.Press(letter, Modifier::alt);
            EXPECT_EQ(ui.Focused(), id) << "Alt+" << letter;
        }
        ui.Click(IDCANCEL);
    });
}

TEST_F(LayoutTest, EditsKeepToTheirStyles) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x1234, 0x0001, 0x03));
    ui::CSetupDlg setup;

    Run(setup, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.ReplaceText(IDC_VID, "abcdef");
        EXPECT_EQ(ui.Text(IDC_VID), "ABCD");
        ui.ReplaceText(IDC_PID, "9f8e7d");
        EXPECT_EQ(ui.Text(IDC_PID), "9F8E");
        ui.Type(IDC_PATH, "x");
        EXPECT_EQ(ui.Text(IDC_PATH), driver) << "the path is read-only";
        ui.Click(IDCANCEL);
    });
}

}  // namespace
}  // namespace morvex::test
