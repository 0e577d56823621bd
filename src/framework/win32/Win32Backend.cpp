// The Win32 backend as a whole: message boxes, the open-file dialog, popup menus, the help
// page through the shell, the program's path, and tasks run inside the modal loop.
#include "framework/win32/Win32Backend.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <cwchar>

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "framework/Constants.h"
#include "framework/win32/Win32Icons.h"
#include "framework/win32/Win32Terminate.h"
#include "framework/win32/Win32Text.h"

namespace morvex::fw::win32 {
namespace {

Win32Backend*& Current() {
    static Win32Backend* backend = nullptr;
    return backend;
}

HWND OwnerWindow(DialogPeer* owner) {
    auto* peer = dynamic_cast<Win32DialogPeer*>(owner);
    return peer != nullptr ? peer->Window() : nullptr;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::wstring ProgramCaption() {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

namespace {

// "file:///C:/Program%20Files/MORVEX.html": a local path as an address, its bytes in UTF-8
// and everything but letters, digits and "-._~/:" escaped.
std::wstring FileAddress(const std::wstring& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::wstring address = L"file:///";
    for (const unsigned char byte : Narrow(path)) {
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/' || byte == ':';
        if (byte == '\\') {
            address += L'/';
        } else if (plain) {
            address += static_cast<wchar_t>(byte);
        } else {
            address += L'%';
            address += static_cast<wchar_t>(kHex[byte >> 4]);
            address += static_cast<wchar_t>(kHex[byte & 0xF]);
        }
    }
    return address;
}

// "Text Files (*.txt)\0*.txt\0...\0\0", the form the open-file dialog takes.
std::wstring FilterString(const std::vector<FileFilter>& filters) {
    std::wstring out;
    for (const FileFilter& filter : filters) {
        out += Widen(filter.description);
        out.push_back(L'\0');
        out += Widen(filter.patterns);
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

}  // namespace

Win32Backend* CurrentWin32Backend() {
    return Current();
}

Win32Backend::Win32Backend() {
    // The previous backend of a nested session comes back when this one ends.
    m_previous = Current();
    Current() = this;
    std::set_terminate(&TerminateWithMessage);
    // The modal loop of every dialog passes its messages through this filter first, which is
    // where F1 is taken before the dialog manager sees it.
    m_filter = ::SetWindowsHookExW(WH_MSGFILTER, &Win32Backend::MessageFilter, nullptr,
                                   ::GetCurrentThreadId());
}

Win32Backend::~Win32Backend() {
    if (m_filter != nullptr) {
        ::UnhookWindowsHookEx(m_filter);
    }
    Current() = m_previous;
    if (m_previous == nullptr) {
        ReleaseIcons();
    }
}

std::unique_ptr<DialogPeer> Win32Backend::CreateDialogPeer(DialogHost& host,
                                                           const DialogTemplate& dialog,
                                                           DialogPeer* owner) {
    return std::make_unique<Win32DialogPeer>(*this, host, dialog,
                                             dynamic_cast<Win32DialogPeer*>(owner));
}

int Win32Backend::MessageBox(const MessageBoxRequest& request) {
    const std::wstring text = Widen(request.text);
    const std::wstring caption = Widen(request.caption);
    const int answer =
        ::MessageBoxW(OwnerWindow(request.owner), text.c_str(), caption.c_str(), request.type);
    const bool yesNo = (request.type & MB_TYPEMASK) == MB_YESNO;
    if (answer == IDYES || answer == IDNO || answer == IDOK) {
        return answer;
    }
    // The box could not be shown: the harmless answer.
    return yesNo ? IDNO : IDOK;
}

std::optional<FileDialogResult> Win32Backend::FileDialog(const FileDialogRequest& request) {
    const std::wstring filter = FilterString(request.filters);
    const std::wstring title = Widen(request.title);
    std::wstring extension = Widen(request.defaultExtension);
    // The dialog takes the extension without its period.
    if (!extension.empty() && extension.front() == L'.') {
        extension.erase(0, 1);
    }
    std::wstring file = Widen(request.initialName);
    file.resize(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerWindow(request.owner);
    dialog.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = request.flags | OFN_EXPLORER | OFN_ENABLESIZING;

    const BOOL chosen = request.open ? ::GetOpenFileNameW(&dialog) : ::GetSaveFileNameW(&dialog);
    if (!chosen) {
        if (const DWORD error = ::CommDlgExtendedError(); error != 0) {
            // Not the user's cancel: say so, or the click would seem to do nothing.
            const std::wstring text = L"The file dialog could not be shown (error " +
                                      Widen(std::to_string(error)) + L").";
            ::MessageBoxW(dialog.hwndOwner, text.c_str(), ProgramCaption().c_str(),
                          MB_ICONEXCLAMATION | MB_OK);
        }
        return std::nullopt;
    }
    file.resize(std::wcslen(file.c_str()));
    FileDialogResult result;
    result.path = ToAnsiPath(file);
    result.readOnly = (dialog.Flags & OFN_READONLY) != 0;
    return result;
}

unsigned Win32Backend::TrackMenu(const MenuRequest& request) {
    HWND owner = OwnerWindow(request.owner);
    if (owner == nullptr) {
        Win32DialogPeer* innermost = InnermostDialog();
        owner = innermost != nullptr ? innermost->Window() : nullptr;
    }
    HMENU menu = ::CreatePopupMenu();
    if (owner == nullptr || menu == nullptr) {
        if (menu != nullptr) {
            ::DestroyMenu(menu);
        }
        return 0;
    }
    for (const MenuItem& item : request.items) {
        const std::wstring text = Widen(item.text);
        ::AppendMenuW(menu, item.flags, item.id,
                      (item.flags & MF_SEPARATOR) != 0 ? nullptr : text.c_str());
    }
    POINT at{};
    ::GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its owner is in front.
    ::SetForegroundWindow(owner);
    const BOOL chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                         at.y, 0, owner, nullptr);
    ::DestroyMenu(menu);
    return chosen > 0 ? static_cast<unsigned>(chosen) : 0;
}

bool Win32Backend::OpenHelp(const std::string& file, unsigned context) {
    const std::wstring path = FromAnsiPath(file);
    if (path.empty()) {
        return false;
    }
    Win32DialogPeer* innermost = InnermostDialog();
    const HWND owner = innermost != nullptr ? innermost->Window() : nullptr;
    // The page at the dialog's section: the shell opening the file itself would drop the
    // section, so the page's address goes to the program registered for HTML pages.
    const std::wstring address = FileAddress(path) + L"#" + Widen(HelpAnchor(context));
    wchar_t browser[MAX_PATH * 2] = {};
    DWORD length = static_cast<DWORD>(std::size(browser));
    if (SUCCEEDED(::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L".html", L"open", browser,
                                      &length))) {
        const std::wstring argument = L"\"" + address + L"\"";
        if (reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", browser, argument.c_str(),
                                                      nullptr, SW_SHOWNORMAL)) > 32) {
            return true;
        }
    }
    // No browser to name: the page without its section is better than none.
    return reinterpret_cast<INT_PTR>(
               ::ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

std::string Win32Backend::ExecutablePath() const {
    return ToAnsiPath(ModulePath());
}

void Win32Backend::Post(std::function<void()> task) {
    m_tasks.push_back(std::move(task));
    // A dialog that is starting asks for the tasks itself once it exists.
    if (Win32DialogPeer* innermost = InnermostDialog();
        innermost != nullptr && innermost->Window() != nullptr) {
        ::PostMessageW(innermost->Window(), kRunTasksMessage, 0, 0);
    }
}

void Win32Backend::DialogStarted(Win32DialogPeer& peer) {
    DialogEnded(peer);
    m_running.push_back(&peer);
}

void Win32Backend::DialogEnded(Win32DialogPeer& peer) {
    m_running.erase(std::remove(m_running.begin(), m_running.end(), &peer), m_running.end());
}

Win32DialogPeer* Win32Backend::InnermostDialog() const {
    return m_running.empty() ? nullptr : m_running.back();
}

void Win32Backend::RunPostedTasks() {
    Win32DialogPeer* innermost = InnermostDialog();
    if (innermost == nullptr || innermost->Window() == nullptr || !innermost->IsRunning()) {
        return;
    }
    // DialogBox shows a dialog without WS_VISIBLE once its queue first runs dry; a task
    // (a test's hands on the dialog) comes before that, so the dialog is shown now.
    if (!::IsWindowVisible(innermost->Window())) {
        ::ShowWindow(innermost->Window(), SW_SHOWNORMAL);
    }
    ::UpdateWindow(innermost->Window());
    // One at a time: a task may start a nested dialog, whose own tasks its loop runs.
    while (!m_tasks.empty()) {
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        try {
            task();
        } catch (const std::exception& error) {
            const std::wstring text = L"A task failed: " + Widen(error.what());
            ::MessageBoxW(innermost->Window(), text.c_str(), ProgramCaption().c_str(),
                          MB_ICONSTOP | MB_OK);
        }
    }
}

LRESULT CALLBACK Win32Backend::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    Win32Backend* backend = Current();
    if (code == MSGF_DIALOGBOX && backend != nullptr && lParam != 0) {
        const MSG& message = *reinterpret_cast<const MSG*>(lParam);
        for (auto peer = backend->m_running.rbegin(); peer != backend->m_running.rend(); ++peer) {
            if ((*peer)->PreTranslateHelpKey(message)) {
                return TRUE;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void DispatchAsModalLoop(MSG& message) {
    if (::CallMsgFilterW(&message, MSGF_DIALOGBOX)) {
        return;
    }
    Win32Backend* backend = Current();
    Win32DialogPeer* innermost = backend != nullptr ? backend->InnermostDialog() : nullptr;
    if (innermost != nullptr && innermost->Window() != nullptr &&
        ::IsDialogMessageW(innermost->Window(), &message)) {
        return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace morvex::fw::win32

namespace morvex::fw {

std::unique_ptr<Backend> CreateBackend(int&, char**) {
    // The command line is the program's own; the system's controls need no start-up here.
    return std::make_unique<win32::Win32Backend>();
}

}  // namespace morvex::fw
