// Conversions between UTF-8, UTF-16 and the ANSI code page.
#include "framework/win32/Win32Text.h"

#include <climits>

#include "framework/win32/Win32Api.h"

namespace morvex::fw::win32 {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

// The text in `codePage`; `lossy` tells whether some character had to be replaced.
std::string FromWide(UINT codePage, std::wstring_view wide, bool* lossy) {
    if (lossy != nullptr) {
        *lossy = false;
    }
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    // UTF-8 takes neither flags nor a default character.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const char* const defaultChar = codePage == CP_UTF8 ? nullptr : "?";
    const int needed = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                             defaultChar, usedDefaultOut);
    if (needed <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), needed, defaultChar,
                          usedDefaultOut);
    if (lossy != nullptr) {
        *lossy = usedDefault != FALSE;
    }
    return text;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string Narrow(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide, nullptr);
}

std::string ToAnsiPath(const std::wstring& path) {
    bool lossy = false;
    std::string ansi = FromWide(CP_ACP, path, &lossy);
    if (!lossy) {
        return ansi;
    }
    const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring shortPath(needed, L'\0');
        const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), needed);
        if (length > 0 && length < needed) {
            shortPath.resize(length);
            bool shortLossy = false;
            std::string shortAnsi = FromWide(CP_ACP, shortPath, &shortLossy);
            if (!shortLossy) {
                return shortAnsi;
            }
        }
    }
    return ansi;
}

std::wstring FromAnsiPath(std::string_view ansi) {
    return ToWide(CP_ACP, ansi);
}

}  // namespace morvex::fw::win32
