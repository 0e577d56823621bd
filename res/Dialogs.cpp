// The two dialog templates: controls in template order (which is the tab order), positions
// in dialog units, texts, kinds and style flags.
#include "ProgramIcon.h"
#include "Resources.h"
#include "framework/Constants.h"

namespace morvex::res {
namespace {

// Unqualified: IDOK and IDCANCEL may be the platform's macros.
using namespace fw;
namespace cs = fw::ControlStyle;
namespace ds = fw::DialogStyle;

constexpr std::string_view kProtocolItems[] = {
    "--- Ignore ---", "CBI", "CBI(F/W download)", "INITIALIZER", "BULK Only", "CB(Non interrupt)",
};

constexpr ControlTemplate kSetupControls[] = {
    {IDC_REFER, ControlKind::pushButton, {220, 15, 55, 15}, "&Refer...", cs::tabStop | cs::group},
    {IDC_STATIC, ControlKind::label, {10, 35, 80, 8}, "VID/PID Entry &List :", cs::group},
    {IDC_ENTRY_LIST,
     ControlKind::listBox,
     {10, 45, 83, 90},
     "",
     cs::notify | cs::vScroll | cs::noIntegralHeight | cs::border | cs::tabStop | cs::group},
    {IDC_STATIC, ControlKind::groupBox, {100, 35, 175, 100}, "Setting", 0},
    {IDC_STATIC, ControlKind::label, {110, 50, 65, 10}, "&Vendor ID :", cs::group},
    {IDC_VID,
     ControlKind::edit,
     {185, 50, 40, 12},
     "",
     cs::upperCase | cs::autoHScroll | cs::border | cs::tabStop | cs::group},
    {IDC_STATIC, ControlKind::label, {230, 50, 35, 10}, "(Hex)", cs::centerVertically | cs::group},
    {IDC_STATIC, ControlKind::label, {110, 70, 65, 10}, "&Product ID :", cs::group},
    {IDC_PID,
     ControlKind::edit,
     {185, 70, 40, 12},
     "",
     cs::upperCase | cs::border | cs::tabStop | cs::group},
    {IDC_STATIC, ControlKind::label, {230, 70, 35, 10}, "(Hex)", cs::centerVertically | cs::group},
    {IDC_STATIC, ControlKind::label, {110, 90, 65, 12}, "Protcol &Type :", cs::group},
    {IDC_PROTOCOL,
     ControlKind::dropDownList,
     {185, 90, 85, 52},
     "",
     cs::vScroll | cs::tabStop | cs::group,
     kProtocolItems},
    {IDC_WRITE_PROTECT,
     ControlKind::autoCheckBox,
     {110, 115, 95, 10},
     "&Write Protect",
     cs::tabStop},
    {IDC_UPDATE,
     ControlKind::pushButton,
     {220, 115, 50, 15},
     "&Update",
     cs::multiLine | cs::tabStop},
    {IDOK, ControlKind::defPushButton, {165, 140, 55, 15}, "&Save", cs::tabStop},
    {IDCANCEL, ControlKind::pushButton, {225, 140, 51, 15}, "&Cancel", cs::tabStop},
    {IDC_STATIC, ControlKind::label, {10, 5, 110, 10}, "Location of KESTRIN.SYS :", cs::group},
    {IDC_PATH,
     ControlKind::edit,
     {10, 15, 205, 15},
     "",
     cs::readOnly | cs::autoHScroll | cs::border | cs::group},
    {IDC_STATIC, ControlKind::label, {10, 140, 70, 10}, "Maximum entries =", cs::group},
    {IDC_MAX_ENTRIES, ControlKind::label, {80, 140, 25, 10}, "", cs::centerVertically | cs::group},
    {IDC_TEXT_OUT, ControlKind::pushButton, {115, 140, 40, 15}, "Text out", cs::tabStop},
};

constexpr ControlTemplate kAboutControls[] = {
    {IDC_STATIC,
     ControlKind::icon,
     {11, 17, 20, 20},
     "",
     0,
     {},
     IDR_MAINFRAME,
     &icon::kProgramIcon},
    {IDC_STATIC,
     ControlKind::label,
     {40, 10, 119, 8},
     "MORVEX Version 1.0",
     cs::noPrefix | cs::group},
    {IDC_STATIC,
     ControlKind::label,
     {40, 25, 119, 8},
     "Free software, without warranty.",
     cs::group},
    {IDOK, ControlKind::defPushButton, {178, 7, 32, 14}, "OK", cs::tabStop | cs::group},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX,
     "About MORVEX",
     {0, 0, 217, 55},
     "Tahoma",
     9,
     400,
     ds::popup | ds::caption | ds::sysMenu | ds::modalFrame,
     kAboutControls},
    {IDD_SETUP_DIALOG,
     "KESTRIN.SYS VID/PID Setup",
     {0, 0, 282, 159},
     "Tahoma",
     9,
     400,
     ds::popup | ds::visible | ds::caption | ds::sysMenu | ds::modalFrame | ds::look3d |
         ds::center | ds::appWindow,
     kSetupControls},
};

}  // namespace

std::span<const fw::DialogTemplate> AllDialogs() {
    return kDialogs;
}

const fw::DialogTemplate* FindDialog(int id) {
    for (const auto& dialog : kDialogs) {
        if (dialog.id == id) {
            return &dialog;
        }
    }
    return nullptr;
}

std::span<const std::string_view> ProtocolItems() {
    return kProtocolItems;
}

}  // namespace morvex::res
