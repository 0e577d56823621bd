// The resources as written: both templates control by control, strings, the version record
// and the icon's images.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "Resources.h"
#include "framework/Constants.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
namespace cs = ControlStyle;
namespace ds = DialogStyle;

struct Row {
    int id;
    ControlKind kind;
    DluRect rect;
    std::string_view text;
    std::uint32_t style;
};

void ExpectControls(const DialogTemplate& dialog, const std::vector<Row>& rows) {
    ASSERT_EQ(dialog.controls.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlTemplate& control = dialog.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i) + " " + std::string(rows[i].text));
        EXPECT_EQ(control.id, rows[i].id);
        EXPECT_EQ(control.kind, rows[i].kind);
        EXPECT_EQ(control.rect, rows[i].rect);
        EXPECT_EQ(control.text, rows[i].text);
        EXPECT_EQ(control.style, rows[i].style);
    }
}

TEST(ResourcesTest, TheSetupTemplateIsAsWritten) {
    const DialogTemplate* dialog = FindDialog(IDD_SETUP_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->id, 102);
    EXPECT_EQ(dialog->title, "KESTRIN.SYS VID/PID Setup");
    EXPECT_EQ(dialog->rect, (DluRect{0, 0, 282, 159}));
    EXPECT_EQ(dialog->fontName, "Tahoma");
    EXPECT_EQ(dialog->fontPointSize, 9);
    EXPECT_EQ(dialog->fontWeight, 400);
    EXPECT_EQ(dialog->style, ds::popup | ds::visible | ds::caption | ds::sysMenu | ds::modalFrame |
                                 ds::look3d | ds::center | ds::appWindow);
    using K = ControlKind;
    ExpectControls(
        *dialog,
        {
            {1001, K::pushButton, {220, 15, 55, 15}, "&Refer...", cs::tabStop | cs::group},
            {-1, K::label, {10, 35, 80, 8}, "VID/PID Entry &List :", cs::group},
            {1002,
             K::listBox,
             {10, 45, 83, 90},
             "",
             cs::notify | cs::vScroll | cs::noIntegralHeight | cs::border | cs::tabStop |
                 cs::group},
            {-1, K::groupBox, {100, 35, 175, 100}, "Setting", 0},
            {-1, K::label, {110, 50, 65, 10}, "&Vendor ID :", cs::group},
            {1004,
             K::edit,
             {185, 50, 40, 12},
             "",
             cs::upperCase | cs::autoHScroll | cs::border | cs::tabStop | cs::group},
            {-1, K::label, {230, 50, 35, 10}, "(Hex)", cs::centerVertically | cs::group},
            {-1, K::label, {110, 70, 65, 10}, "&Product ID :", cs::group},
            {1006,
             K::edit,
             {185, 70, 40, 12},
             "",
             cs::upperCase | cs::border | cs::tabStop | cs::group},
            {-1, K::label, {230, 70, 35, 10}, "(Hex)", cs::centerVertically | cs::group},
            {-1, K::label, {110, 90, 65, 12}, "Protcol &Type :", cs::group},
            {1007, K::dropDownList, {185, 90, 85, 52}, "", cs::vScroll | cs::tabStop | cs::group},
            {1010, K::autoCheckBox, {110, 115, 95, 10}, "&Write Protect", cs::tabStop},
            {1012, K::pushButton, {220, 115, 50, 15}, "&Update", cs::multiLine | cs::tabStop},
            {1, K::defPushButton, {165, 140, 55, 15}, "&Save", cs::tabStop},
            {2, K::pushButton, {225, 140, 51, 15}, "&Cancel", cs::tabStop},
            {-1, K::label, {10, 5, 110, 10}, "Location of KESTRIN.SYS :", cs::group},
            {1011,
             K::edit,
             {10, 15, 205, 15},
             "",
             cs::readOnly | cs::autoHScroll | cs::border | cs::group},
            {-1, K::label, {10, 140, 70, 10}, "Maximum entries =", cs::group},
            {1013, K::label, {80, 140, 25, 10}, "", cs::centerVertically | cs::group},
            {1014, K::pushButton, {115, 140, 40, 15}, "Text out", cs::tabStop},
        });
    EXPECT_THAT(dialog->controls[11].initialItems,
                ::testing::ElementsAre("--- Ignore ---", "CBI", "CBI(F/W download)", "INITIALIZER",
                                       "BULK Only", "CB(Non interrupt)"));
}

TEST(ResourcesTest, TheAboutTemplateIsAsWritten) {
    const DialogTemplate* dialog = FindDialog(IDD_ABOUTBOX);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->id, 100);
    EXPECT_EQ(dialog->title, "About MORVEX");
    EXPECT_EQ(dialog->rect, (DluRect{0, 0, 217, 55}));
    EXPECT_EQ(dialog->fontName, "Tahoma");
    EXPECT_EQ(dialog->fontPointSize, 9);
    EXPECT_EQ(dialog->style, ds::popup | ds::caption | ds::sysMenu | ds::modalFrame);
    using K = ControlKind;
    ExpectControls(
        *dialog,
        {
            {-1, K::icon, {11, 17, 20, 20}, "", 0},
            {-1, K::label, {40, 10, 119, 8}, "MORVEX Version 1.0", cs::noPrefix | cs::group},
            {-1, K::label, {40, 25, 119, 8}, Version().legalCopyright, cs::group},
            {1, K::defPushButton, {178, 7, 32, 14}, "OK", cs::tabStop | cs::group},
        });
    EXPECT_EQ(dialog->controls[0].iconId, IDR_MAINFRAME);
    EXPECT_EQ(dialog->controls[0].icon, LoadIcon(IDR_MAINFRAME));
}

TEST(ResourcesTest, IdsStringsAndVersionAreAsWritten) {
    EXPECT_EQ(IDR_MAINFRAME, 128);
    EXPECT_EQ(IDS_ABOUTBOX, 101);
    EXPECT_EQ(IDM_ABOUTBOX, 0x0010u);
    EXPECT_EQ(LoadString(IDS_ABOUTBOX), "&About...");
    EXPECT_EQ(LoadString(12345), "");
    EXPECT_EQ(FindDialog(12345), nullptr);
    EXPECT_EQ(LoadIcon(12345), nullptr);

    const VersionRecord& version = Version();
    EXPECT_EQ(version.fileVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(version.productVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(version.fileVersionText, "1, 0, 0, 1");
    EXPECT_EQ(version.productVersionText, "1, 0, 0, 1");
    EXPECT_EQ(version.fileDescription, "KESTRIN VID/PID Setup");
    EXPECT_EQ(version.productName, "KESTRIN VID/PID Setup");
    EXPECT_EQ(version.internalName, "MORVEX");
    EXPECT_EQ(version.originalFilename, "MORVEX.EXE");
    EXPECT_EQ(version.companyName, "");
    EXPECT_FALSE(version.legalCopyright.empty());
    EXPECT_EQ(version.stringBlock, "040904b0");
    EXPECT_EQ(version.language, 0x0411);
}

TEST(ResourcesTest, TheIconHasA32And16PixelImageInSixteenColours) {
    const IconResource* icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->images.size(), 2u);
    EXPECT_EQ(icon->images[0].size, 32);
    EXPECT_EQ(icon->images[1].size, 16);
    for (const IconImage& image : icon->images) {
        ASSERT_EQ(image.rows.size(), static_cast<std::size_t>(image.size));
        std::set<char> used;
        for (const std::string_view row : image.rows) {
            ASSERT_EQ(row.size(), static_cast<std::size_t>(image.size)) << row;
            for (const char c : row) {
                EXPECT_NE(std::string_view("0123456789ABCDEF.").find(c), std::string_view::npos)
                    << "pixel '" << c << "'";
                used.insert(c);
            }
        }
        EXPECT_GT(used.size(), 3u) << "a drawing, not a blank";
        EXPECT_TRUE(used.contains('.')) << "transparent around the drawing";
    }
}

}  // namespace
}  // namespace morvex::test
