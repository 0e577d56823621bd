// The framework's dialog templates turned into the system's in-memory DLGTEMPLATE.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Template.h"

namespace morvex::fw::win32 {

struct DialogItemStyle {
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    std::uint16_t classAtom = 0;  // the system's predefined control classes
};

// Window styles of the dialog itself (DS_SETFONT included) and its extended styles.
std::uint32_t DialogWindowStyle(const DialogTemplate& dialog);
std::uint32_t DialogExtendedStyle(const DialogTemplate& dialog);
DialogItemStyle ControlWindowStyle(const ControlTemplate& control);

// A DLGTEMPLATE with DS_SETFONT and its DLGITEMTEMPLATEs, DWORD-aligned as the system
// requires, ready for DialogBoxIndirectParamW. The face is used at normal weight, the
// only one a DLGTEMPLATE can name.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog);

}  // namespace morvex::fw::win32
