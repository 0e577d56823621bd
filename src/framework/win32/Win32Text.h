// Text at the Win32 edge: the framework's UTF-8, the system's UTF-16, and file names in the
// system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace morvex::fw::win32 {

// Invalid UTF-8 becomes U+FFFD, so a bad byte never loses the rest of the text.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A file name as the core takes it: bytes in the ANSI code page. A name that code page
// cannot spell falls back to its short (8.3) form; failing that, each unspellable character
// becomes '?', which no file name holds, so the name opens nothing instead of the wrong file.
std::string ToAnsiPath(const std::wstring& path);
std::wstring FromAnsiPath(std::string_view ansi);

}  // namespace morvex::fw::win32
