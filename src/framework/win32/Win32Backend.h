// The Win32 backend: dialogs from in-memory templates run by DialogBoxIndirectParamW, the
// system's message boxes, open-file dialog, popup menus and shell.
#pragma once

#include "framework/win32/Win32Api.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Backend.h"

namespace morvex::fw::win32 {

class Win32Backend;

class Win32DialogPeer final : public DialogPeer {
  public:
    Win32DialogPeer(Win32Backend& backend, DialogHost& host, const DialogTemplate& dialog,
                    Win32DialogPeer* owner);
    ~Win32DialogPeer() override;
    Win32DialogPeer(const Win32DialogPeer&) = delete;
    Win32DialogPeer& operator=(const Win32DialogPeer&) = delete;

    int RunModal() override;
    void EndModal(int result) override;
    bool IsRunning() const override;

    void SetTitle(std::string_view title) override;
    std::string Title() const override;
    void SetIcon(IconHandle icon, bool big) override;
    bool AppendSystemMenu(const MenuItem& item) override;
    bool IsIconic() const override;
    std::pair<int, int> ClientSize() const override;
    void DrawIconicIcon(IconHandle icon, int x, int y) override;
    std::pair<int, int> SystemIconSize() const override;

    bool HasControl(int id) const override;
    std::string GetText(int id) const override;
    void SetText(int id, std::string_view text) override;
    void Enable(int id, bool enable) override;
    bool IsEnabled(int id) const override;
    void SetFocus(int id) override;
    int FocusedControl() const override;
    void SetLimitText(int id, int maxChars) override;
    void SetSel(int id, int start, int end) override;
    std::pair<int, int> GetSel(int id) const override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    int GetCount(int id) const override;
    int InsertString(int id, int index, std::string_view text) override;
    int DeleteString(int id, int index) override;
    void ResetContent(int id) override;
    std::string GetItemText(int id, int index) const override;
    std::intptr_t GetItemData(int id, int index) const override;
    int SetItemData(int id, int index, std::intptr_t data) override;
    int GetCurSel(int id) const override;
    int SetCurSel(int id, int index) override;

    // For the backend, the test driver and the other prompts.
    HWND Window() const { return m_hwnd; }
    HWND Control(int id) const;
    const ControlTemplate* TemplateOf(int id) const;
    const DialogTemplate& Template() const { return m_template; }
    // Controls without an ID (labels, group boxes, icons), in template order.
    std::vector<std::pair<const ControlTemplate*, HWND>> StaticControls() const;
    // The items the program appended to the system menu.
    const std::vector<MenuItem>& SystemMenuItems() const { return m_systemMenuItems; }
    PixelRect MapDialogRect(const DluRect& rect) const;
    DialogHost& Host() const { return m_host; }
    // The F1 key of the modal loop, seen before the dialog manager gets it.
    bool PreTranslateHelpKey(const MSG& message);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnInitDialog();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void PlaceOverOwner();

    enum class ListKind { none, listBox, comboBox };
    ListKind ListKindOf(int id) const;
    // The list message for this kind of control: LB_x for list boxes, CB_x for drop-downs.
    LRESULT ListMessage(int id, UINT listBoxMessage, UINT comboBoxMessage, WPARAM wParam,
                        LPARAM lParam) const;

    Win32Backend& m_backend;
    DialogHost& m_host;
    const DialogTemplate& m_template;
    Win32DialogPeer* m_owner;
    HWND m_hwnd = nullptr;
    std::vector<std::pair<const ControlTemplate*, HWND>> m_ordered;
    std::vector<MenuItem> m_systemMenuItems;
    bool m_running = false;
    bool m_ended = false;
    bool m_inPaint = false;
};

class Win32Backend final : public Backend {
  public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    std::unique_ptr<DialogPeer> CreateDialogPeer(DialogHost& host, const DialogTemplate& dialog,
                                                 DialogPeer* owner) override;
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;
    unsigned TrackMenu(const MenuRequest& request) override;
    bool OpenHelp(const std::string& file, unsigned context) override;
    std::string ExecutablePath() const override;
    void Post(std::function<void()> task) override;

    // Dialogs whose modal loop runs, innermost last.
    void DialogStarted(Win32DialogPeer& peer);
    void DialogEnded(Win32DialogPeer& peer);
    Win32DialogPeer* InnermostDialog() const;
    // Runs the posted tasks, once the innermost dialog is on the screen.
    void RunPostedTasks();
    bool HasPostedTasks() const { return !m_tasks.empty(); }

    // The message that asks a dialog to run the posted tasks.
    static constexpr UINT kRunTasksMessage = WM_APP + 0x4D56;

  private:
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

    std::deque<std::function<void()>> m_tasks;
    std::vector<Win32DialogPeer*> m_running;
    HHOOK m_filter = nullptr;
    Win32Backend* m_previous = nullptr;
};

// The running Win32 backend, or null.
Win32Backend* CurrentWin32Backend();

// The caption of the backend's own messages: the executable's name without extension.
std::wstring ProgramCaption();

// One turn of a modal dialog loop for `message`, as DialogBox runs it: the message filter,
// the dialog manager of the innermost dialog, then translation and dispatch.
void DispatchAsModalLoop(MSG& message);

}  // namespace morvex::fw::win32
