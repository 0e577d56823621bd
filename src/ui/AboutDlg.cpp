// The About box: the framework's start, OK and cancel; nothing of its own to exchange.
#include "ui/AboutDlg.h"

#include "Resources.h"

namespace morvex::ui {

CAboutDlg::CAboutDlg() : fw::CDialog(*res::FindDialog(res::IDD_ABOUTBOX)) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(fw::CDataExchange* pDX) {
    fw::CDialog::DoDataExchange(pDX);
}

const fw::MessageMap* CAboutDlg::GetThisMessageMap() {
    static const fw::MessageMap map{fw::CDialog::GetThisMessageMap(), {}};
    return &map;
}

}  // namespace morvex::ui
