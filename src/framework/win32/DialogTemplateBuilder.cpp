// Building the in-memory DLGTEMPLATE: header, caption, font, then one item per control in
// template order (which is also the tab order).
#include "framework/win32/DialogTemplateBuilder.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "framework/win32/Win32Api.h"
#include "framework/win32/Win32Text.h"

namespace morvex::fw::win32 {

// The words written below follow the system's own records, the same on 32 and 64 bits.
static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18);

namespace {

// The predefined control classes, by atom.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kListBoxClass = 0x0083;
constexpr std::uint16_t kComboBoxClass = 0x0085;

bool Has(std::uint32_t style, std::uint32_t flag) {
    return (style & flag) != 0;
}

using StyleMap = std::pair<std::uint32_t, std::uint32_t>;  // framework flag, window style

template <std::size_t N>
std::uint32_t MapStyles(std::uint32_t flags, const StyleMap (&map)[N]) {
    std::uint32_t style = 0;
    for (const auto& [flag, windowStyle] : map) {
        if (Has(flags, flag)) {
            style |= windowStyle;
        }
    }
    return style;
}

constexpr StyleMap kDialogStyles[] = {
    {DialogStyle::popup, WS_POPUP},
    {DialogStyle::visible, WS_VISIBLE},
    {DialogStyle::caption, WS_CAPTION},
    {DialogStyle::sysMenu, WS_SYSMENU},
    {DialogStyle::modalFrame, DS_MODALFRAME},
    {DialogStyle::look3d, DS_3DLOOK},
    {DialogStyle::center, DS_CENTER},
    {DialogStyle::minimizeBox, WS_MINIMIZEBOX},
    {DialogStyle::maximizeBox, WS_MAXIMIZEBOX},
};

constexpr StyleMap kCommonStyles[] = {
    {ControlStyle::group, WS_GROUP},       {ControlStyle::tabStop, WS_TABSTOP},
    {ControlStyle::border, WS_BORDER},     {ControlStyle::vScroll, WS_VSCROLL},
    {ControlStyle::disabled, WS_DISABLED},
};
constexpr StyleMap kButtonStyles[] = {{ControlStyle::multiLine, BS_MULTILINE}};
constexpr StyleMap kLabelStyles[] = {
    {ControlStyle::centerVertically, SS_CENTERIMAGE},
    {ControlStyle::noPrefix, SS_NOPREFIX},
};
constexpr StyleMap kEditStyles[] = {
    {ControlStyle::upperCase, ES_UPPERCASE},
    {ControlStyle::readOnly, ES_READONLY},
    {ControlStyle::autoHScroll, ES_AUTOHSCROLL},
};
constexpr StyleMap kListBoxStyles[] = {
    {ControlStyle::notify, LBS_NOTIFY},
    {ControlStyle::sorted, LBS_SORT},
    {ControlStyle::noIntegralHeight, LBS_NOINTEGRALHEIGHT},
};
constexpr StyleMap kDropDownStyles[] = {{ControlStyle::sorted, CBS_SORT}};

class TemplateWriter {
  public:
    void Word(std::uint16_t value) { m_words.push_back(value); }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    // Dialog units are 16-bit in a template; anything larger is a broken template.
    void Short(int value) {
        const int clamped =
            std::max<int>(std::numeric_limits<std::int16_t>::min(),
                          std::min<int>(std::numeric_limits<std::int16_t>::max(), value));
        Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(clamped)));
    }
    void Text(std::string_view utf8) {
        for (const wchar_t unit : Widen(utf8)) {
            Word(static_cast<std::uint16_t>(unit));
        }
        Word(0);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<std::uint16_t> Take() { return std::move(m_words); }

  private:
    std::vector<std::uint16_t> m_words;
};

}  // namespace

std::uint32_t DialogWindowStyle(const DialogTemplate& dialog) {
    return DS_SETFONT | MapStyles(dialog.style, kDialogStyles);
}

std::uint32_t DialogExtendedStyle(const DialogTemplate& dialog) {
    return Has(dialog.style, DialogStyle::appWindow) ? WS_EX_APPWINDOW : 0;
}

DialogItemStyle ControlWindowStyle(const ControlTemplate& control) {
    const std::uint32_t flags = control.style;
    DialogItemStyle item;
    item.style = WS_CHILD | WS_VISIBLE | MapStyles(flags, kCommonStyles);
    switch (control.kind) {
        case ControlKind::pushButton:
            item.classAtom = kButtonClass;
            item.style |= BS_PUSHBUTTON | MapStyles(flags, kButtonStyles);
            break;
        case ControlKind::defPushButton:
            item.classAtom = kButtonClass;
            item.style |= BS_DEFPUSHBUTTON | MapStyles(flags, kButtonStyles);
            break;
        case ControlKind::autoCheckBox:
            item.classAtom = kButtonClass;
            item.style |= BS_AUTOCHECKBOX | MapStyles(flags, kButtonStyles);
            break;
        case ControlKind::groupBox:
            item.classAtom = kButtonClass;
            item.style |= BS_GROUPBOX;
            break;
        case ControlKind::label:
            item.classAtom = kStaticClass;
            item.style |= SS_LEFT | MapStyles(flags, kLabelStyles);
            break;
        case ControlKind::icon:
            item.classAtom = kStaticClass;
            item.style |= SS_ICON;
            break;
        case ControlKind::edit:
            item.classAtom = kEditClass;
            item.style |= ES_LEFT | MapStyles(flags, kEditStyles);
            break;
        case ControlKind::listBox:
            item.classAtom = kListBoxClass;
            item.style |= MapStyles(flags, kListBoxStyles);
            break;
        case ControlKind::dropDownList:
            item.classAtom = kComboBoxClass;
            item.style |= CBS_DROPDOWNLIST | MapStyles(flags, kDropDownStyles);
            break;
    }
    return item;
}

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog) {
    TemplateWriter out;
    out.Dword(DialogWindowStyle(dialog));
    out.Dword(DialogExtendedStyle(dialog));
    out.Word(static_cast<std::uint16_t>(dialog.controls.size()));
    out.Short(dialog.rect.x);
    out.Short(dialog.rect.y);
    out.Short(dialog.rect.cx);
    out.Short(dialog.rect.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the system's dialog class
    out.Text(dialog.title);
    out.Word(static_cast<std::uint16_t>(dialog.fontPointSize));
    out.Text(dialog.fontName);

    for (const ControlTemplate& control : dialog.controls) {
        out.AlignToDword();
        const DialogItemStyle item = ControlWindowStyle(control);
        out.Dword(item.style);
        out.Dword(item.extendedStyle);
        out.Short(control.rect.x);
        out.Short(control.rect.y);
        out.Short(control.rect.cx);
        out.Short(control.rect.cy);
        // IDC_STATIC (-1) is stored as 0xFFFF, as resource compilers store it.
        out.Word(static_cast<std::uint16_t>(control.id));
        out.Word(0xFFFF);
        out.Word(item.classAtom);
        // An icon's image is set once the dialog exists, from the program's own icon.
        out.Text(control.kind == ControlKind::icon ? std::string_view{} : control.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace morvex::fw::win32
