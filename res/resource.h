// Resource IDs of the program: dialog templates, controls, strings, icon, menu command.
#pragma once

namespace morvex::res {

// Templates, strings, icon.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_SETUP_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;

// The About item's system-menu command; system commands keep their low four bits free.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Controls of the setup dialog.
inline constexpr int IDC_REFER = 1001;
inline constexpr int IDC_ENTRY_LIST = 1002;
inline constexpr int IDC_VID = 1004;
inline constexpr int IDC_PID = 1006;
inline constexpr int IDC_PROTOCOL = 1007;
inline constexpr int IDC_WRITE_PROTECT = 1010;
inline constexpr int IDC_PATH = 1011;
inline constexpr int IDC_UPDATE = 1012;
inline constexpr int IDC_MAX_ENTRIES = 1013;
inline constexpr int IDC_TEXT_OUT = 1014;

// The language every resource is tagged with (Japanese).
inline constexpr unsigned short kResourceLanguage = 0x0411;

}  // namespace morvex::res
