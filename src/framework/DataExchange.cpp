// Data exchange between a dialog's fields and its controls, and the length check.
#include "framework/DataExchange.h"

#include <string>

#include "framework/Dialog.h"

namespace morvex::fw {

void CDataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    m_bEditLastControl = false;
}

void CDataExchange::PrepareEditCtrl(int id) {
    m_idLastControl = id;
    m_bEditLastControl = true;
}

void CDataExchange::Fail() {
    if (DialogPeer* peer = m_pDlgWnd->GetPeer(); peer != nullptr && m_idLastControl != 0) {
        peer->SetFocus(m_idLastControl);
        if (m_bEditLastControl) {
            peer->SetSel(m_idLastControl, 0, -1);
        }
    }
    throw detail::DataExchangeStopped{};
}

namespace {

// Exchanges only while the window exists, so fields never take an absent control's value.
DialogPeer* PeerOf(CDataExchange* pDX) {
    return pDX->m_pDlgWnd != nullptr ? pDX->m_pDlgWnd->GetPeer() : nullptr;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    pDX->PrepareEditCtrl(id);
    if (DialogPeer* peer = PeerOf(pDX)) {
        if (pDX->m_bSaveAndValidate) {
            value = peer->GetText(id);
        } else {
            peer->SetText(id, value);
        }
    }
}

void DDX_Check(CDataExchange* pDX, int id, bool& value) {
    pDX->PrepareCtrl(id);
    if (DialogPeer* peer = PeerOf(pDX)) {
        if (pDX->m_bSaveAndValidate) {
            value = peer->GetCheck(id) != 0;
        } else {
            peer->SetCheck(id, value ? 1 : 0);
        }
    }
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& index) {
    pDX->PrepareCtrl(id);
    if (DialogPeer* peer = PeerOf(pDX)) {
        if (pDX->m_bSaveAndValidate) {
            index = peer->GetCurSel(id);
        } else {
            peer->SetCurSel(id, index);
        }
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
    DDX_LBIndex(pDX, id, index);
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars) {
    if (pDX->m_bSaveAndValidate && CountChars(value) > static_cast<std::size_t>(maxChars)) {
        std::string prompt(kMaxCharsPrompt);
        prompt.replace(prompt.find("%1"), 2, std::to_string(maxChars));
        pDX->m_pDlgWnd->MessageBox(prompt, {}, MB_ICONEXCLAMATION | MB_OK);
        pDX->Fail();
    }
    if (DialogPeer* peer = PeerOf(pDX); peer != nullptr && pDX->LastControlIsEdit()) {
        peer->SetLimitText(pDX->LastControl(), maxChars);
    }
}

std::size_t CountChars(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace morvex::fw
