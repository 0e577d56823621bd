// CDialog: a modal dialog made from a template, with its data exchange, default OK and
// cancel behaviour, system menu, icons and help context.
#pragma once

#include <map>
#include <memory>
#include <optional>

#include "framework/Backend.h"
#include "framework/DataExchange.h"
#include "framework/Template.h"
#include "framework/Wnd.h"

namespace morvex::fw {

class CDialog : public CWnd, private DialogHost {
  public:
    // `pParent` null: the dialog opens owned by the innermost running dialog, if any.
    explicit CDialog(const DialogTemplate& dialogTemplate, CWnd* pParent = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns EndDialog's result, or -1 when the window
    // could not be made.
    virtual int DoModal();
    void EndDialog(int result);

    // true: controls into fields (checked), false: fields into controls. False when a
    // check failed; the exchange then stopped at that field.
    bool UpdateData(bool saveAndValidate = true);

    const DialogTemplate& GetTemplate() const { return m_template; }
    // HID_BASE_RESOURCE + the template id.
    unsigned GetHelpContext() const;

    // A control of this dialog by its ID, typed by its kind (CButton for buttons and check
    // boxes, CEdit, CListBox, CComboBox, CStatic); null when the template has no such ID.
    CWnd* GetDlgItem(int id);
    template <class Control>
    Control* GetDlgItemAs(int id) {
        return dynamic_cast<Control*>(GetDlgItem(id));
    }

    // Null when the template has no system menu.
    CMenu* GetSystemMenu(bool revert = false);
    void SetIcon(IconHandle icon, bool big);
    bool IsIconic() const;
    // Client size in pixels, and the size of the icons the platform gives windows.
    std::pair<int, int> GetClientSize() const;
    std::pair<int, int> GetSystemIconSize() const;
    // Paints a minimized window: the icon background erased, `icon` drawn at (x, y).
    void PaintIconicIcon(IconHandle icon, int x, int y);

    CDialog* GetOwningDialog() const override { return const_cast<CDialog*>(this); }

    // The window, while DoModal runs (for backends and test drivers).
    DialogPeer* GetPeer() const { return m_pPeer.get(); }
    bool IsRunning() const;
    // The innermost dialog whose DoModal runs, or null.
    static CDialog* GetActiveDialog();
    // The running dialog with that window, or null.
    static CDialog* FromPeer(const DialogPeer* peer);

  protected:
    virtual bool OnInitDialog();
    // The framework's OK: read the controls back and, if that succeeds, end with IDOK.
    virtual void OnOK();
    // The framework's cancel: end with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    // The platform's own handling of painting and of system commands.
    void OnPaint();
    void OnSysCommand(unsigned id, long param);

    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    friend class CMenu;

    bool HostInitDialog() override;
    void HostCommand(int id, int code) override;
    bool HostSysCommand(unsigned id) override;
    void HostHelpKey() override;
    void HostContextMenu() override;
    bool HostPaint() override;
    IconHandle HostQueryDragIcon() override;

    void RouteCommand(unsigned id, int code);

    const DialogTemplate& m_template;
    CWnd* m_pParentWnd;
    std::unique_ptr<DialogPeer> m_pPeer;
    std::map<int, std::unique_ptr<CWnd>> m_controls;
    std::unique_ptr<CMenu> m_pSystemMenu;
    bool m_bDefaultHandling = false;  // set by OnPaint and OnSysCommand of this class
};

}  // namespace morvex::fw
