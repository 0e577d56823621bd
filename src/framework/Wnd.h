// Windows and controls addressed by their IDs: CWnd and the control classes, and the
// system menu.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Backend.h"
#include "framework/Constants.h"
#include "framework/MessageMap.h"

namespace morvex::fw {

class CDialog;
class CMenu;

// A dialog window, or one control of a dialog. Every call is harmless while the dialog's
// window does not exist: it does nothing and answers as for an empty control.
class CWnd : public CCmdTarget {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override = default;

    int GetDlgCtrlID() const { return m_nID; }

    void SetWindowText(std::string_view text);
    std::string GetWindowText() const;
    // Returns whether the window was disabled before.
    bool EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void SetFocus();

    // A message box owned by this window's dialog; the caption defaults to the
    // application's name. Returns IDOK, IDYES or IDNO.
    int MessageBox(std::string_view text, std::string_view caption = {}, unsigned type = MB_OK);

    // The dialog this window belongs to (itself for a dialog); null for a bare CWnd.
    virtual CDialog* GetOwningDialog() const { return nullptr; }

  protected:
    DialogPeer* Peer() const;

    int m_nID = 0;  // 0: the dialog window itself
};

// A control of a dialog, made by the dialog from its template.
class CControl : public CWnd {
  public:
    CControl(CDialog& dialog, int id) : m_dialog(dialog) { m_nID = id; }

    CDialog* GetOwningDialog() const override { return &m_dialog; }

  private:
    CDialog& m_dialog;
};

class CStatic : public CControl {
  public:
    using CControl::CControl;
};

class CButton : public CControl {
  public:
    using CControl::CControl;
    int GetCheck() const;
    void SetCheck(int state);
};

class CEdit : public CControl {
  public:
    using CControl::CControl;
    void LimitText(int maxChars = 0);
    void SetSel(int start, int end);
    std::pair<int, int> GetSel() const;
};

// The item calls of list boxes and drop-down lists.
class CItemList : public CControl {
  public:
    using CControl::CControl;
    int GetCount() const;
    int AddString(std::string_view text);
    int InsertString(int index, std::string_view text);
    int DeleteString(int index);
    void ResetContent();
    std::intptr_t GetItemData(int index) const;
    int SetItemData(int index, std::intptr_t data);
    int GetCurSel() const;
    int SetCurSel(int index);

  protected:
    std::string ItemText(int index) const;
};

class CListBox : public CItemList {
  public:
    using CItemList::CItemList;
    std::string GetText(int index) const { return ItemText(index); }
};

class CComboBox : public CItemList {
  public:
    using CItemList::CItemList;
    std::string GetLBText(int index) const { return ItemText(index); }
};

// A window's system menu. Items the program appends go to the platform's system menu
// where it can be extended, and otherwise to the dialog's context menu.
class CMenu {
  public:
    explicit CMenu(CDialog& dialog) : m_dialog(dialog) {}
    bool AppendMenu(unsigned flags, unsigned id = 0, std::string_view text = {});
    const std::vector<MenuItem>& Items() const { return m_items; }
    // Items the platform could not take and the context menu offers instead.
    const std::vector<MenuItem>& ContextItems() const { return m_contextItems; }

  private:
    CDialog& m_dialog;
    std::vector<MenuItem> m_items;
    std::vector<MenuItem> m_contextItems;
};

}  // namespace morvex::fw
