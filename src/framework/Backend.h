// The seam between the toolkit-neutral framework and one toolkit: what a backend
// implements (DialogPeer, Backend) and what it calls back (DialogHost). The Qt backend
// lives in qt/; a Win32 backend implements the same three classes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Template.h"

namespace morvex::fw {

// What a dialog window reports to the framework. The backend calls these on the
// user-interface thread, from inside DialogPeer::RunModal.
class DialogHost {
  public:
    virtual ~DialogHost() = default;

    // The controls exist, drop-down lists hold their initial items, nothing is shown yet.
    // Returns true when the backend is to put the focus on the first tab stop.
    virtual bool HostInitDialog() = 0;
    // A control's notification: a click (BN_CLICKED) on a button or check box, a selection
    // change (LBN_SELCHANGE) made by the user in a list box that reports them. IDOK comes
    // from Enter while the default button is enabled, IDCANCEL from Escape and the close box.
    virtual void HostCommand(int id, int code) = 0;
    // A system-menu command (Win32: WM_SYSCOMMAND); false when the platform's default
    // handling is to follow.
    virtual bool HostSysCommand(unsigned id) = 0;
    // F1 with neither Shift, Ctrl nor Alt held, anywhere in the dialog.
    virtual void HostHelpKey() = 0;
    // A context-menu request on the dialog itself, where the platform offers no system
    // menu that a program can extend.
    virtual void HostContextMenu() = 0;
    // Win32 only: painting (true when the program painted, false to paint as usual) and the
    // drag-icon query of a minimized window.
    virtual bool HostPaint() = 0;
    virtual IconHandle HostQueryDragIcon() = 0;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

struct MenuItem {
    unsigned flags = 0;  // MF_STRING or MF_SEPARATOR
    unsigned id = 0;
    std::string text;  // UTF-8, '&' marks the mnemonic
};

// One dialog window made from a template. Controls are addressed by their IDs; every call
// with an ID that the template lacks does nothing and answers as for an empty control.
// Texts are UTF-8.
class DialogPeer {
  public:
    virtual ~DialogPeer() = default;

    // Creates the window, calls HostInitDialog, shows it and runs until EndModal; returns
    // the value given to EndModal.
    virtual int RunModal() = 0;
    // Ends RunModal with `result` once the running handler returns.
    virtual void EndModal(int result) = 0;
    virtual bool IsRunning() const = 0;

    // The window itself.
    virtual void SetTitle(std::string_view title) = 0;
    virtual std::string Title() const = 0;
    virtual void SetIcon(IconHandle icon, bool big) = 0;
    // Adds an item to the window's system menu; false when the platform keeps that menu
    // out of a program's reach (then the framework offers the item in a context menu).
    virtual bool AppendSystemMenu(const MenuItem& item) = 0;
    virtual bool IsIconic() const = 0;
    // Client size in pixels.
    virtual std::pair<int, int> ClientSize() const = 0;
    // Win32 paint of a minimized window: erase the icon background, draw `icon` at (x, y).
    virtual void DrawIconicIcon(IconHandle icon, int x, int y) = 0;
    // The icon size the platform uses for windows, in pixels.
    virtual std::pair<int, int> SystemIconSize() const = 0;

    // Any control.
    virtual bool HasControl(int id) const = 0;
    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, std::string_view text) = 0;
    virtual void Enable(int id, bool enable) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void SetFocus(int id) = 0;
    // The ID of the control holding the focus, or 0.
    virtual int FocusedControl() const = 0;

    // Edits. A limit refuses further typing; a longer text already there stays.
    // 0 means no limit.
    virtual void SetLimitText(int id, int maxChars) = 0;
    // Selects characters [start, end); end -1 means to the end.
    virtual void SetSel(int id, int start, int end) = 0;
    virtual std::pair<int, int> GetSel(int id) const = 0;

    // Check boxes: 0 clear, 1 checked.
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;

    // List boxes and drop-down lists share these. Item data travels with its item.
    // Programmatic changes never notify.
    virtual int GetCount(int id) const = 0;
    // Inserts at `index` (-1 appends); the new item's index, or LB_ERR.
    virtual int InsertString(int id, int index, std::string_view text) = 0;
    // The number of items left, or LB_ERR. Deleting the selected item leaves no selection.
    virtual int DeleteString(int id, int index) = 0;
    virtual void ResetContent(int id) = 0;
    virtual std::string GetItemText(int id, int index) const = 0;
    virtual std::intptr_t GetItemData(int id, int index) const = 0;  // LB_ERR when no item
    virtual int SetItemData(int id, int index, std::intptr_t data) = 0;
    virtual int GetCurSel(int id) const = 0;  // LB_ERR when nothing is selected
    // Selects `index` (-1: nothing); LB_ERR when the index is not an item or -1.
    virtual int SetCurSel(int id, int index) = 0;
};

struct MessageBoxRequest {
    DialogPeer* owner = nullptr;  // null: no owner
    std::string text;
    std::string caption;
    unsigned type = 0;  // MB_ button set | MB_ icon
};

struct FileFilter {
    std::string description;  // "Text Files (*.txt)"
    std::string patterns;     // "*.txt", several separated by ';'; matched case-insensitively
};

struct FileDialogRequest {
    DialogPeer* owner = nullptr;
    bool open = true;  // an open dialog: existing files may be chosen without a question
    std::string title;
    std::vector<FileFilter> filters;  // the first is the initial one
    std::string defaultExtension;     // added to a typed name without one; may start with '.'
    std::string initialName;
    unsigned flags = 0;  // OFN_FILEMUSTEXIST, OFN_HIDEREADONLY (read-only option not offered)
};

struct FileDialogResult {
    std::string path;  // full path, in the system's 8-bit file-name encoding
    bool readOnly = false;
};

struct MenuRequest {
    DialogPeer* owner = nullptr;
    std::vector<MenuItem> items;
};

// The toolkit as a whole. One instance exists while AfxWinMain (or a test's
// BackendSession) runs.
class Backend {
  public:
    virtual ~Backend() = default;

    // `owner` may be null; a dialog then opens without an owner.
    virtual std::unique_ptr<DialogPeer> CreateDialogPeer(DialogHost& host,
                                                         const DialogTemplate& dialog,
                                                         DialogPeer* owner) = 0;
    // Modal to the owner; returns IDOK, IDYES or IDNO.
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    // Modal to the owner; nothing when the user cancels.
    virtual std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) = 0;
    // A popup menu at the pointer; the chosen item's id, or 0.
    virtual unsigned TrackMenu(const MenuRequest& request) = 0;
    // Asks the desktop to show `file` at help context `context` (the page's element whose id
    // is HelpAnchor(context)); false when that fails.
    virtual bool OpenHelp(const std::string& file, unsigned context) = 0;
    // The running program's full path.
    virtual std::string ExecutablePath() const = 0;
    // Runs `task` once the innermost running modal loop has started.
    virtual void Post(std::function<void()> task) = 0;
};

// The id of a help page's section for a help context: "context-0x20066".
std::string HelpAnchor(unsigned context);

// The running backend; throws std::logic_error when none runs.
Backend& GetBackend();
bool HasBackend();

// Starts the linked backend for the program's life (argc and argv may be changed by the
// toolkit, which takes its own options out of them). Sessions nest; the innermost runs.
class BackendSession {
  public:
    BackendSession(int& argc, char** argv);
    ~BackendSession();
    BackendSession(const BackendSession&) = delete;
    BackendSession& operator=(const BackendSession&) = delete;

  private:
    std::unique_ptr<Backend> m_backend;
    Backend* m_previous;
};

// Defined by the linked backend.
std::unique_ptr<Backend> CreateBackend(int& argc, char** argv);

}  // namespace morvex::fw
