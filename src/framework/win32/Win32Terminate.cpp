// The terminate handler of window programs: the failure said where the user sees it.
#include "framework/win32/Win32Terminate.h"

#include "framework/win32/Win32Api.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "framework/win32/Win32Backend.h"
#include "framework/win32/Win32Text.h"

namespace morvex::fw::win32 {
namespace {

std::string CurrentFailure() {
    try {
        if (const std::exception_ptr failure = std::current_exception()) {
            std::rethrow_exception(failure);
        }
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an unknown exception";
    }
    return "no exception (the program's state was broken)";
}

}  // namespace

void TerminateWithMessage() {
    const std::string text = "The program must stop: " + CurrentFailure() + "\r\n";
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    // A window program started from the desktop has no standard error; its user gets the box.
    if (error == nullptr || error == INVALID_HANDLE_VALUE ||
        !::WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        ::MessageBoxW(nullptr, Widen(text).c_str(), ProgramCaption().c_str(),
                      MB_ICONSTOP | MB_OK | MB_TASKMODAL);
    }
    std::abort();
}

}  // namespace morvex::fw::win32

// The library's default handler prints the same to a standard error that window programs
// lack, and brings a C++ name demangler of its own (about a fifth of the program) to do
// it. Defining it here keeps that out of every program linked with the backend.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    morvex::fw::win32::TerminateWithMessage();
}
}  // namespace __gnu_cxx
