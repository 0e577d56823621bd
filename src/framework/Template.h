// Resources as data: dialog templates, icons, strings and the version record, in the form
// every backend reads (the Qt backend renders them, a Win32 backend builds its own
// templates from them).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace morvex::fw {

struct IconResource;

// A rectangle in dialog units: x and width in quarters of the dialog font's average
// character width, y and height in eighths of its height.
struct DluRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;

    constexpr bool operator==(const DluRect&) const = default;
};

enum class ControlKind {
    pushButton,
    defPushButton,  // the dialog's default button (Enter clicks it)
    autoCheckBox,   // toggles itself when clicked
    label,          // left-aligned static text, wraps at word ends
    icon,           // static icon; shown at the icon's own size
    groupBox,
    edit,
    listBox,
    dropDownList,  // a non-editable combo box
};

// Style flags of a control. Every backend maps them to its own; a flag that does not
// apply to a kind is ignored.
namespace ControlStyle {
inline constexpr std::uint32_t group = 1u << 0;    // starts a group (arrow keys stop here)
inline constexpr std::uint32_t tabStop = 1u << 1;  // Tab visits it
inline constexpr std::uint32_t border = 1u << 2;
inline constexpr std::uint32_t vScroll = 1u << 3;
inline constexpr std::uint32_t disabled = 1u << 4;
// Edits.
inline constexpr std::uint32_t upperCase = 1u << 8;
inline constexpr std::uint32_t readOnly = 1u << 9;
inline constexpr std::uint32_t autoHScroll = 1u << 10;
// List boxes and drop-down lists.
inline constexpr std::uint32_t notify = 1u << 12;  // list box reports selection changes
inline constexpr std::uint32_t sorted = 1u << 13;
inline constexpr std::uint32_t noIntegralHeight = 1u << 14;
// Buttons.
inline constexpr std::uint32_t multiLine = 1u << 16;
// Labels.
inline constexpr std::uint32_t centerVertically = 1u << 20;
inline constexpr std::uint32_t noPrefix = 1u << 21;  // '&' is shown, not a mnemonic
}  // namespace ControlStyle

struct ControlTemplate {
    int id = -1;  // IDC_STATIC for labels, group boxes and icons
    ControlKind kind = ControlKind::label;
    DluRect rect;
    std::string_view text;  // UTF-8; '&' marks a mnemonic unless noPrefix
    std::uint32_t style = 0;
    // Drop-down lists: the items filled in before the dialog starts, in order.
    std::span<const std::string_view> initialItems = {};
    // Icons: the resource shown, by ID and as data (backends use whichever suits them).
    int iconId = 0;
    const IconResource* icon = nullptr;
};

namespace DialogStyle {
inline constexpr std::uint32_t popup = 1u << 0;
inline constexpr std::uint32_t visible = 1u << 1;
inline constexpr std::uint32_t caption = 1u << 2;
inline constexpr std::uint32_t sysMenu = 1u << 3;
inline constexpr std::uint32_t modalFrame = 1u << 4;
inline constexpr std::uint32_t look3d = 1u << 5;     // three-dimensional control look
inline constexpr std::uint32_t center = 1u << 6;     // centred on the screen
inline constexpr std::uint32_t appWindow = 1u << 7;  // own taskbar button
inline constexpr std::uint32_t minimizeBox = 1u << 8;
inline constexpr std::uint32_t maximizeBox = 1u << 9;
}  // namespace DialogStyle

struct DialogTemplate {
    int id = 0;
    std::string_view title;
    DluRect rect;  // x and y: position (0, 0 when placed by the system), cx and cy: size
    std::string_view fontName;
    int fontPointSize = 9;
    int fontWeight = 400;  // 400 normal, 700 bold
    std::uint32_t style = 0;
    std::span<const ControlTemplate> controls;  // template order, which is the tab order
};

// One image of an icon: `size` rows of `size` characters, each a hexadecimal index into
// the 16-colour palette, or '.' for a transparent pixel.
struct IconImage {
    int size = 32;
    std::span<const std::string_view> rows;
};

struct IconResource {
    int id = 0;
    std::array<std::uint32_t, 16> palette{};  // 0xRRGGBB
    std::span<const IconImage> images;        // largest first
};

// A handle to a loaded icon: the resource itself, which lives as long as the program.
using IconHandle = const IconResource*;

struct StringResource {
    int id = 0;
    std::string_view text;
};

struct VersionRecord {
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::string_view fileVersionText;
    std::string_view productVersionText;
    std::string_view companyName;
    std::string_view fileDescription;
    std::string_view internalName;
    std::string_view legalCopyright;
    std::string_view originalFilename;
    std::string_view productName;
    std::string_view stringBlock;  // language and code page, "040904b0"
    std::uint16_t language = 0;    // of every resource
};

}  // namespace morvex::fw
