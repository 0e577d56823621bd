// Dialog windows made by the system's dialog manager from in-memory templates: the dialog
// procedure, the routing of the window's reports, and the controls by ID.
#include "framework/win32/Win32Api.h"

#include <algorithm>
#include <exception>
#include <string>

#include "framework/Constants.h"
#include "framework/win32/DialogTemplateBuilder.h"
#include "framework/win32/Win32Backend.h"
#include "framework/win32/Win32Icons.h"
#include "framework/win32/Win32Text.h"

namespace morvex::fw::win32 {
namespace {

bool IsButtonKind(ControlKind kind) {
    return kind == ControlKind::pushButton || kind == ControlKind::defPushButton ||
           kind == ControlKind::autoCheckBox;
}

std::string WindowText(HWND window) {
    if (window == nullptr) {
        return {};
    }
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return Narrow(text);
}

// A failure that no handler caught must not cross the system's frames, where it cannot be
// unwound; it is said in a message box and the dialog goes on, as after any failed command.
void ReportUnexpected(HWND owner, const char* what) {
    const std::wstring text = L"The command failed: " + Widen(what);
    ::MessageBoxW(owner, text.c_str(), ProgramCaption().c_str(), MB_ICONSTOP | MB_OK);
}

}  // namespace

Win32DialogPeer::Win32DialogPeer(Win32Backend& backend, DialogHost& host,
                                 const DialogTemplate& dialog, Win32DialogPeer* owner)
    : m_backend(backend), m_host(host), m_template(dialog), m_owner(owner) {}

Win32DialogPeer::~Win32DialogPeer() {
    m_backend.DialogEnded(*this);
}

int Win32DialogPeer::RunModal() {
    const std::vector<std::uint16_t> words = BuildDialogTemplate(m_template);
    m_running = true;
    m_ended = false;
    const HWND owner = m_owner != nullptr ? m_owner->Window() : nullptr;
    m_hwnd = nullptr;
    const INT_PTR result = ::DialogBoxIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
        &Win32DialogPeer::DialogProc, reinterpret_cast<LPARAM>(this));
    const DWORD error = ::GetLastError();
    const bool created = m_hwnd != nullptr;
    m_running = false;
    m_backend.DialogEnded(*this);
    m_hwnd = nullptr;
    m_ordered.clear();
    m_systemMenuItems.clear();
    if (!created) {
        // Without this the program would end, or the command do nothing, without a word.
        const std::wstring text = L"The window \u201C" + Widen(m_template.title) +
                                  L"\u201D could not be made (error " +
                                  Widen(std::to_string(error)) + L").";
        ::MessageBoxW(owner, text.c_str(), ProgramCaption().c_str(), MB_ICONSTOP | MB_OK);
        return -1;
    }
    return static_cast<int>(result);
}

void Win32DialogPeer::EndModal(int result) {
    m_ended = true;
    if (m_hwnd != nullptr) {
        ::EndDialog(m_hwnd, result);
    }
}

bool Win32DialogPeer::IsRunning() const {
    return m_running && !m_ended && m_hwnd != nullptr;
}

INT_PTR CALLBACK Win32DialogPeer::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    Win32DialogPeer* peer = nullptr;
    if (message == WM_INITDIALOG) {
        peer = reinterpret_cast<Win32DialogPeer*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(peer));
        peer->m_hwnd = hwnd;
    } else {
        peer = reinterpret_cast<Win32DialogPeer*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (peer == nullptr) {
        return FALSE;
    }
    try {
        return peer->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportUnexpected(hwnd, error.what());
    } catch (...) {
        ReportUnexpected(hwnd, "unknown error");
    }
    return TRUE;
}

INT_PTR Win32DialogPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return TRUE;
        case WM_SYSCOMMAND:
            return m_host.HostSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
        case WM_PAINT: {
            if (m_inPaint) {
                return FALSE;
            }
            m_inPaint = true;
            const bool painted = m_host.HostPaint();
            m_inPaint = false;
            if (painted) {
                // Whatever the program drew, the window counts as painted now.
                ::ValidateRect(m_hwnd, nullptr);
            }
            return painted ? TRUE : FALSE;
        }
        case WM_QUERYDRAGICON: {
            const IconHandle icon = m_host.HostQueryDragIcon();
            if (icon == nullptr) {
                return FALSE;
            }
            return reinterpret_cast<INT_PTR>(IconFor(icon, SystemIconSize().first));
        }
        case WM_HELP:
            // F1 reaches the program through the modal loop (PreTranslateHelpKey); what comes
            // here is F1 with Shift, Ctrl or Alt held, which does nothing.
            return TRUE;
        case WM_CONTEXTMENU: {
            // Only the client area: a right click on the caption opens the system menu.
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT client{};
            ::GetClientRect(m_hwnd, &client);
            const bool fromKeyboard = lParam == -1;
            if (reinterpret_cast<HWND>(wParam) != m_hwnd ||
                (!fromKeyboard && (!::ScreenToClient(m_hwnd, &at) || !::PtInRect(&client, at)))) {
                return FALSE;
            }
            m_host.HostContextMenu();
            return TRUE;
        }
        case Win32Backend::kRunTasksMessage:
            m_backend.RunPostedTasks();
            return TRUE;
        default:
            return FALSE;
    }
}

bool Win32DialogPeer::OnInitDialog() {
    m_backend.DialogStarted(*this);

    // The dialog manager made the children in template order.
    m_ordered.clear();
    HWND child = ::GetWindow(m_hwnd, GW_CHILD);
    for (const ControlTemplate& control : m_template.controls) {
        m_ordered.emplace_back(&control, child);
        child = child != nullptr ? ::GetWindow(child, GW_HWNDNEXT) : nullptr;
    }
    const int iconSize = SystemIconSize().first;
    for (const auto& [control, window] : m_ordered) {
        if (window == nullptr) {
            continue;
        }
        if (control->kind == ControlKind::dropDownList) {
            for (const std::string_view item : control->initialItems) {
                ::SendMessageW(window, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(Widen(item).c_str()));
            }
        } else if (control->kind == ControlKind::icon && control->icon != nullptr) {
            ::SendMessageW(window, STM_SETICON,
                           reinterpret_cast<WPARAM>(IconFor(control->icon, iconSize)), 0);
        }
    }
    PlaceOverOwner();

    const bool focusFirst = m_host.HostInitDialog();
    if (focusFirst && !m_ended) {
        for (const auto& [control, window] : m_ordered) {
            const LONG style = window != nullptr ? ::GetWindowLongW(window, GWL_STYLE) : 0;
            if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 &&
                ::IsWindowEnabled(window)) {
                ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
                break;
            }
        }
    }
    if (m_backend.HasPostedTasks()) {
        ::PostMessageW(m_hwnd, Win32Backend::kRunTasksMessage, 0, 0);
    }
    // The focus is set above (or by the program): the dialog manager leaves it alone.
    return false;
}

void Win32DialogPeer::PlaceOverOwner() {
    // A dialog with an owner and no place of its own opens centred over the owner, kept
    // within the work area of the owner's screen.
    if ((m_template.style & DialogStyle::center) != 0 || m_owner == nullptr ||
        m_owner->Window() == nullptr) {
        return;
    }
    RECT owner{};
    RECT self{};
    ::GetWindowRect(m_owner->Window(), &owner);
    ::GetWindowRect(m_hwnd, &self);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT work{};
    if (::GetMonitorInfoW(::MonitorFromWindow(m_owner->Window(), MONITOR_DEFAULTTONEAREST),
                          &monitor)) {
        work = monitor.rcWork;
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = owner.left + ((owner.right - owner.left) - width) / 2;
    int y = owner.top + ((owner.bottom - owner.top) - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DialogPeer::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const auto from = reinterpret_cast<HWND>(lParam);
    if (from == nullptr) {
        // The dialog manager's Enter and Escape where no such button exists.
        if ((id == IDOK || id == IDCANCEL) && code == 0) {
            m_host.HostCommand(id, BN_CLICKED);
        }
        return;
    }
    // A disabled control cannot be clicked; the dialog manager's Enter on a focused push
    // button would otherwise reach a handler the program switched off.
    if (!::IsWindowEnabled(from)) {
        return;
    }
    const ControlTemplate* control = TemplateOf(id);
    if (control == nullptr) {
        return;
    }
    // Only what the framework reports: clicks and the user's list selection changes.
    if ((IsButtonKind(control->kind) && code == BN_CLICKED) ||
        (control->kind == ControlKind::listBox && code == LBN_SELCHANGE)) {
        m_host.HostCommand(id, code);
    }
}

bool Win32DialogPeer::PreTranslateHelpKey(const MSG& message) {
    if (m_hwnd == nullptr || message.message != WM_KEYDOWN || message.wParam != VK_F1 ||
        (message.hwnd != m_hwnd && !::IsChild(m_hwnd, message.hwnd))) {
        return false;
    }
    const bool modified =
        ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0;
    if (!modified) {
        m_host.HostHelpKey();
    }
    return true;
}

void Win32DialogPeer::SetTitle(std::string_view title) {
    if (m_hwnd != nullptr) {
        ::SetWindowTextW(m_hwnd, Widen(title).c_str());
    }
}

std::string Win32DialogPeer::Title() const {
    return WindowText(m_hwnd);
}

void Win32DialogPeer::SetIcon(IconHandle icon, bool big) {
    // One handle at the system's icon size for both, as the program loads it.
    if (m_hwnd != nullptr) {
        ::SendMessageW(m_hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                       reinterpret_cast<LPARAM>(IconFor(icon, SystemIconSize().first)));
    }
}

bool Win32DialogPeer::AppendSystemMenu(const MenuItem& item) {
    HMENU menu = m_hwnd != nullptr ? ::GetSystemMenu(m_hwnd, FALSE) : nullptr;
    if (menu == nullptr) {
        return false;
    }
    const std::wstring text = Widen(item.text);
    const bool separator = (item.flags & MF_SEPARATOR) != 0;
    if (!::AppendMenuW(menu, item.flags, item.id, separator ? nullptr : text.c_str())) {
        return false;
    }
    m_systemMenuItems.push_back(item);
    return true;
}

bool Win32DialogPeer::IsIconic() const {
    return m_hwnd != nullptr && ::IsIconic(m_hwnd);
}

std::pair<int, int> Win32DialogPeer::ClientSize() const {
    RECT client{};
    if (m_hwnd == nullptr || !::GetClientRect(m_hwnd, &client)) {
        return {0, 0};
    }
    return {client.right - client.left, client.bottom - client.top};
}

void Win32DialogPeer::DrawIconicIcon(IconHandle icon, int x, int y) {
    if (m_hwnd == nullptr) {
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hwnd, &paint);
    if (dc == nullptr) {
        return;
    }
    ::SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (HICON handle = IconFor(icon, SystemIconSize().first)) {
        ::DrawIcon(dc, x, y, handle);
    }
    ::EndPaint(m_hwnd, &paint);
}

std::pair<int, int> Win32DialogPeer::SystemIconSize() const {
    return {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)};
}

HWND Win32DialogPeer::Control(int id) const {
    if (m_hwnd == nullptr || id == IDC_STATIC) {
        return nullptr;
    }
    for (const auto& [control, window] : m_ordered) {
        if (control->id == id) {
            return window;
        }
    }
    return nullptr;
}

const ControlTemplate* Win32DialogPeer::TemplateOf(int id) const {
    if (id == IDC_STATIC) {
        return nullptr;
    }
    for (const ControlTemplate& control : m_template.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::vector<std::pair<const ControlTemplate*, HWND>> Win32DialogPeer::StaticControls() const {
    std::vector<std::pair<const ControlTemplate*, HWND>> statics;
    for (const auto& entry : m_ordered) {
        if (entry.first->id == IDC_STATIC) {
            statics.push_back(entry);
        }
    }
    return statics;
}

PixelRect Win32DialogPeer::MapDialogRect(const DluRect& rect) const {
    // The dialog manager scales each value on its own (MulDiv by the base units), so a
    // width is mapped as a width, not as the difference of two mapped edges.
    RECT units{0, 0, 4, 8};
    if (m_hwnd == nullptr || !::MapDialogRect(m_hwnd, &units)) {
        return {};
    }
    const int baseX = units.right;
    const int baseY = units.bottom;
    return {::MulDiv(rect.x, baseX, 4), ::MulDiv(rect.y, baseY, 8), ::MulDiv(rect.cx, baseX, 4),
            ::MulDiv(rect.cy, baseY, 8)};
}

bool Win32DialogPeer::HasControl(int id) const {
    return Control(id) != nullptr;
}

std::string Win32DialogPeer::GetText(int id) const {
    return WindowText(Control(id));
}

void Win32DialogPeer::SetText(int id, std::string_view text) {
    if (HWND window = Control(id)) {
        ::SetWindowTextW(window, Widen(text).c_str());
    }
}

void Win32DialogPeer::Enable(int id, bool enable) {
    HWND window = Control(id);
    if (window == nullptr) {
        return;
    }
    if (!enable) {
        // A disabled control keeps no focus: it moves on to the next control that takes
        // it, so the keyboard still works.
        const HWND focus = ::GetFocus();
        if (focus != nullptr && (focus == window || ::IsChild(window, focus))) {
            const auto self =
                std::find_if(m_ordered.begin(), m_ordered.end(),
                             [window](const auto& entry) { return entry.second == window; });
            const std::size_t count = m_ordered.size();
            const std::size_t start =
                self != m_ordered.end() ? static_cast<std::size_t>(self - m_ordered.begin()) : 0;
            for (std::size_t step = 1; step < count; ++step) {
                const HWND next = m_ordered[(start + step) % count].second;
                const LONG style = next != nullptr ? ::GetWindowLongW(next, GWL_STYLE) : 0;
                if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 &&
                    ::IsWindowEnabled(next)) {
                    ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
                    break;
                }
            }
        }
    }
    ::EnableWindow(window, enable ? TRUE : FALSE);
}

bool Win32DialogPeer::IsEnabled(int id) const {
    HWND window = Control(id);
    return window != nullptr && ::IsWindowEnabled(window);
}

void Win32DialogPeer::SetFocus(int id) {
    if (HWND window = Control(id)) {
        ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
    }
}

int Win32DialogPeer::FocusedControl() const {
    HWND focus = ::GetFocus();
    while (focus != nullptr && ::GetParent(focus) != m_hwnd) {
        focus = ::GetParent(focus);
    }
    if (focus == nullptr || m_hwnd == nullptr) {
        return 0;
    }
    for (const auto& [control, window] : m_ordered) {
        if (window == focus) {
            return control->id == IDC_STATIC ? 0 : control->id;
        }
    }
    return 0;
}

void Win32DialogPeer::SetLimitText(int id, int maxChars) {
    if (HWND window = Control(id)) {
        ::SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, 0)), 0);
    }
}

void Win32DialogPeer::SetSel(int id, int start, int end) {
    if (HWND window = Control(id)) {
        ::SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    }
}

std::pair<int, int> Win32DialogPeer::GetSel(int id) const {
    HWND window = Control(id);
    if (window == nullptr) {
        return {0, 0};
    }
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

int Win32DialogPeer::GetCheck(int id) const {
    HWND window = Control(id);
    return window != nullptr && ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32DialogPeer::SetCheck(int id, int state) {
    if (HWND window = Control(id)) {
        ::SendMessageW(window, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

Win32DialogPeer::ListKind Win32DialogPeer::ListKindOf(int id) const {
    const ControlTemplate* control = TemplateOf(id);
    if (control == nullptr || Control(id) == nullptr) {
        return ListKind::none;
    }
    switch (control->kind) {
        case ControlKind::listBox:
            return ListKind::listBox;
        case ControlKind::dropDownList:
            return ListKind::comboBox;
        default:
            return ListKind::none;
    }
}

LRESULT Win32DialogPeer::ListMessage(int id, UINT listBoxMessage, UINT comboBoxMessage,
                                     WPARAM wParam, LPARAM lParam) const {
    switch (ListKindOf(id)) {
        case ListKind::listBox:
            return ::SendMessageW(Control(id), listBoxMessage, wParam, lParam);
        case ListKind::comboBox:
            return ::SendMessageW(Control(id), comboBoxMessage, wParam, lParam);
        case ListKind::none:
            break;
    }
    return LB_ERR;
}

int Win32DialogPeer::GetCount(int id) const {
    const LRESULT count = ListMessage(id, LB_GETCOUNT, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

int Win32DialogPeer::InsertString(int id, int index, std::string_view text) {
    if (ListKindOf(id) == ListKind::none || index < -1 || index > GetCount(id)) {
        return LB_ERR;
    }
    const std::wstring wide = Widen(text);
    const LRESULT at = ListMessage(id, LB_INSERTSTRING, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(wide.c_str()));
    return at >= 0 ? static_cast<int>(at) : LB_ERR;
}

int Win32DialogPeer::DeleteString(int id, int index) {
    if (ListKindOf(id) == ListKind::none || index < 0 || index >= GetCount(id)) {
        return LB_ERR;
    }
    const bool wasSelected = GetCurSel(id) == index;
    const LRESULT left =
        ListMessage(id, LB_DELETESTRING, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (wasSelected) {
        SetCurSel(id, -1);
    }
    return left >= 0 ? static_cast<int>(left) : LB_ERR;
}

void Win32DialogPeer::ResetContent(int id) {
    ListMessage(id, LB_RESETCONTENT, CB_RESETCONTENT, 0, 0);
}

std::string Win32DialogPeer::GetItemText(int id, int index) const {
    if (index < 0 || index >= GetCount(id)) {
        return {};
    }
    const LRESULT length =
        ListMessage(id, LB_GETTEXTLEN, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ListMessage(id, LB_GETTEXT, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return Narrow(text);
}

std::intptr_t Win32DialogPeer::GetItemData(int id, int index) const {
    // Range first: -1 is also a lawful item value (the list's marker carries it).
    if (index < 0 || index >= GetCount(id)) {
        return LB_ERR;
    }
    return static_cast<std::intptr_t>(
        ListMessage(id, LB_GETITEMDATA, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int Win32DialogPeer::SetItemData(int id, int index, std::intptr_t data) {
    if (index < 0 || index >= GetCount(id)) {
        return LB_ERR;
    }
    const LRESULT result = ListMessage(id, LB_SETITEMDATA, CB_SETITEMDATA,
                                       static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    return result == LB_ERR ? LB_ERR : 0;
}

int Win32DialogPeer::GetCurSel(int id) const {
    const LRESULT selected = ListMessage(id, LB_GETCURSEL, CB_GETCURSEL, 0, 0);
    return selected >= 0 ? static_cast<int>(selected) : LB_ERR;
}

int Win32DialogPeer::SetCurSel(int id, int index) {
    if (ListKindOf(id) == ListKind::none) {
        return LB_ERR;
    }
    const bool valid = index >= 0 && index < GetCount(id);
    ListMessage(id, LB_SETCURSEL, CB_SETCURSEL, static_cast<WPARAM>(valid ? index : -1), 0);
    return valid ? index : LB_ERR;
}

}  // namespace morvex::fw::win32
