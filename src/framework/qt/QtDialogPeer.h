// The Qt backend's dialog window: widgets made from a template, addressed by control ID.
#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <map>

#include "framework/Backend.h"

class QWidget;

namespace morvex::fw::qt {

class DialogWindow;

class QtDialogPeer final : public DialogPeer {
  public:
    QtDialogPeer(DialogHost& host, const DialogTemplate& dialog, QtDialogPeer* owner);
    ~QtDialogPeer() override;

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

    // For the Qt test driver and the other prompts.
    QDialog* Window() const;
    QWidget* Control(int id) const;
    int ControlId(const QWidget* widget) const;
    // The controls without an ID, in template order.
    std::vector<QWidget*> StaticControls() const;
    PixelRect MapDialogRect(const DluRect& rect) const;
    DialogHost& Host() const { return m_host; }

  private:
    void Build();
    void AddControl(const ControlTemplate& control);
    void LinkLabelsAndTabOrder();

    DialogHost& m_host;
    const DialogTemplate& m_template;
    QPointer<QDialog> m_owner;
    std::unique_ptr<DialogWindow> m_window;
    std::map<int, QWidget*> m_controls;
    std::vector<std::pair<const ControlTemplate*, QWidget*>> m_ordered;
    int m_baseX = 0;  // the dialog font's average character width, pixels
    int m_baseY = 0;  // its height, pixels
    bool m_running = false;
    bool m_ended = false;
    int m_result = 0;
};

// The dialog font, loading a shipped face when the system lacks the family.
QFont DialogFont(std::string_view family, int pointSize, int weight);

// The images of an icon resource.
QIcon ToQIcon(IconHandle icon);

QString ToQString(std::string_view text);
std::string ToUtf8(const QString& text);

}  // namespace morvex::fw::qt
