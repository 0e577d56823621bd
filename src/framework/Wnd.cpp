// CWnd, the control classes and the system menu, all forwarding to the dialog's window.
#include "framework/Wnd.h"

#include "framework/Dialog.h"
#include "framework/PromptScript.h"
#include "framework/WinApp.h"

namespace morvex::fw {

DialogPeer* CWnd::Peer() const {
    const CDialog* dialog = GetOwningDialog();
    return dialog != nullptr ? dialog->GetPeer() : nullptr;
}

void CWnd::SetWindowText(std::string_view text) {
    if (DialogPeer* peer = Peer()) {
        if (m_nID == 0) {
            peer->SetTitle(text);
        } else {
            peer->SetText(m_nID, text);
        }
    }
}

std::string CWnd::GetWindowText() const {
    if (DialogPeer* peer = Peer()) {
        return m_nID == 0 ? peer->Title() : peer->GetText(m_nID);
    }
    return {};
}

bool CWnd::EnableWindow(bool enable) {
    DialogPeer* peer = Peer();
    if (peer == nullptr || m_nID == 0) {
        return false;
    }
    const bool wasDisabled = !peer->IsEnabled(m_nID);
    peer->Enable(m_nID, enable);
    return wasDisabled;
}

bool CWnd::IsWindowEnabled() const {
    DialogPeer* peer = Peer();
    return peer != nullptr && (m_nID == 0 || peer->IsEnabled(m_nID));
}

void CWnd::SetFocus() {
    if (DialogPeer* peer = Peer(); peer != nullptr && m_nID != 0) {
        peer->SetFocus(m_nID);
    }
}

int CWnd::MessageBox(std::string_view text, std::string_view caption, unsigned type) {
    MessageBoxRequest request;
    request.owner = Peer();
    request.text = text;
    request.caption = caption.empty() ? AfxGetAppName() : std::string(caption);
    request.type = type;
    return prompts::MessageBox(request);
}

int CButton::GetCheck() const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetCheck(m_nID) : 0;
}

void CButton::SetCheck(int state) {
    if (DialogPeer* peer = Peer()) {
        peer->SetCheck(m_nID, state);
    }
}

void CEdit::LimitText(int maxChars) {
    if (DialogPeer* peer = Peer()) {
        peer->SetLimitText(m_nID, maxChars);
    }
}

void CEdit::SetSel(int start, int end) {
    if (DialogPeer* peer = Peer()) {
        peer->SetSel(m_nID, start, end);
    }
}

std::pair<int, int> CEdit::GetSel() const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetSel(m_nID) : std::pair{0, 0};
}

int CItemList::GetCount() const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetCount(m_nID) : 0;
}

int CItemList::AddString(std::string_view text) {
    return InsertString(-1, text);
}

int CItemList::InsertString(int index, std::string_view text) {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->InsertString(m_nID, index, text) : LB_ERR;
}

int CItemList::DeleteString(int index) {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->DeleteString(m_nID, index) : LB_ERR;
}

void CItemList::ResetContent() {
    if (DialogPeer* peer = Peer()) {
        peer->ResetContent(m_nID);
    }
}

std::intptr_t CItemList::GetItemData(int index) const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetItemData(m_nID, index) : LB_ERR;
}

int CItemList::SetItemData(int index, std::intptr_t data) {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->SetItemData(m_nID, index, data) : LB_ERR;
}

int CItemList::GetCurSel() const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetCurSel(m_nID) : LB_ERR;
}

int CItemList::SetCurSel(int index) {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->SetCurSel(m_nID, index) : LB_ERR;
}

std::string CItemList::ItemText(int index) const {
    DialogPeer* peer = Peer();
    return peer != nullptr ? peer->GetItemText(m_nID, index) : std::string{};
}

bool CMenu::AppendMenu(unsigned flags, unsigned id, std::string_view text) {
    MenuItem item{flags, id, std::string(text)};
    m_items.push_back(item);
    DialogPeer* peer = m_dialog.GetPeer();
    if (peer == nullptr || !peer->AppendSystemMenu(item)) {
        m_contextItems.push_back(std::move(item));
    }
    return true;
}

}  // namespace morvex::fw
