// The application's start-up and its one message-map entry, the help command.
#include "app/SetupApp.h"

#include "ui/SetupDlg.h"

namespace morvex::app {

CSetupApp::CSetupApp() = default;

const fw::MessageMap* CSetupApp::GetThisMessageMap() {
    static constexpr fw::MessageMapEntry entries[] = {
        fw::OnCommand<&fw::CWinApp::OnHelp>(static_cast<int>(fw::ID_HELP), 0),
    };
    static const fw::MessageMap map{fw::CWinApp::GetThisMessageMap(), entries};
    return &map;
}

bool CSetupApp::InitInstance() {
    Enable3dControls();

    ui::CSetupDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;

    // The program ends with the dialog: no message loop follows.
    return false;
}

}  // namespace morvex::app
