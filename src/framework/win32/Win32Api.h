// The Win32 headers as the backend includes them: Unicode, without the min/max macros.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The framework has members of these names (CWnd::MessageBox, CMenu::AppendMenu, ...);
// the headers' A/W-choosing macros would rename them. The backend calls the W functions.
#undef AppendMenu
#undef DrawText
#undef GetObject
#undef GetWindowText
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SetWindowText
#undef WinHelp
