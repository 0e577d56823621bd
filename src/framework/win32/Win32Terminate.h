// The end of a window program that met an error nothing caught: said in a message box.
#pragma once

namespace morvex::fw::win32 {

// Says what ended the program (on standard error when it has one, else in a message box),
// then aborts. Installed as the terminate handler while the backend runs.
[[noreturn]] void TerminateWithMessage();

}  // namespace morvex::fw::win32
