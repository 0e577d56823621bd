// Command, notification, message-box, menu and file-dialog constants, with the values the
// Windows platform gives them, so a Win32 backend hands them through unchanged.
#pragma once

// The platform headers define several of these names as macros. Each definition is
// skipped when the macro is already there, and the checks below hold either way; code
// therefore uses these names unqualified.
namespace morvex::fw {

#ifndef IDOK
inline constexpr int IDOK = 1;
#endif
#ifndef IDCANCEL
inline constexpr int IDCANCEL = 2;
#endif
#ifndef IDYES
inline constexpr int IDYES = 6;
#endif
#ifndef IDNO
inline constexpr int IDNO = 7;
#endif
static_assert(IDOK == 1 && IDCANCEL == 2 && IDYES == 6 && IDNO == 7);

// Control ID of labels, group boxes and icons that nothing addresses.
inline constexpr int IDC_STATIC = -1;

// Message-box types: one button set or'ed with at most one icon.
#ifndef MB_OK
inline constexpr unsigned MB_OK = 0x00000000u;
#endif
#ifndef MB_YESNO
inline constexpr unsigned MB_YESNO = 0x00000004u;
#endif
#ifndef MB_TYPEMASK
inline constexpr unsigned MB_TYPEMASK = 0x0000000Fu;
#endif
#ifndef MB_ICONQUESTION
inline constexpr unsigned MB_ICONQUESTION = 0x00000020u;
#endif
#ifndef MB_ICONEXCLAMATION
inline constexpr unsigned MB_ICONEXCLAMATION = 0x00000030u;
#endif
#ifndef MB_ICONMASK
inline constexpr unsigned MB_ICONMASK = 0x000000F0u;
#endif
static_assert(MB_OK == 0 && MB_YESNO == 4 && MB_ICONQUESTION == 0x20 &&
              MB_ICONEXCLAMATION == 0x30 && MB_TYPEMASK == 0x0F && MB_ICONMASK == 0xF0);

// Notification codes of a command.
#ifndef BN_CLICKED
inline constexpr int BN_CLICKED = 0;
#endif
#ifndef LBN_SELCHANGE
inline constexpr int LBN_SELCHANGE = 1;
#endif
static_assert(BN_CLICKED == 0 && LBN_SELCHANGE == 1);

// List-box and drop-down answers for "no such item".
#ifndef LB_ERR
inline constexpr int LB_ERR = -1;
#endif
#ifndef CB_ERR
inline constexpr int CB_ERR = -1;
#endif
static_assert(LB_ERR == -1 && CB_ERR == -1);

// Menu items.
#ifndef MF_STRING
inline constexpr unsigned MF_STRING = 0x0000u;
#endif
#ifndef MF_SEPARATOR
inline constexpr unsigned MF_SEPARATOR = 0x0800u;
#endif
static_assert(MF_STRING == 0 && MF_SEPARATOR == 0x800);

// Open-file dialog options.
#ifndef OFN_HIDEREADONLY
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004u;
#endif
#ifndef OFN_PATHMUSTEXIST
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800u;
#endif
#ifndef OFN_FILEMUSTEXIST
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000u;
#endif
static_assert(OFN_HIDEREADONLY == 4 && OFN_PATHMUSTEXIST == 0x800 && OFN_FILEMUSTEXIST == 0x1000);

// The framework's help command and the base of a dialog's help context
// (context = HID_BASE_RESOURCE + template id).
inline constexpr unsigned ID_HELP = 0xE146u;
inline constexpr unsigned HID_BASE_RESOURCE = 0x20000u;

}  // namespace morvex::fw
