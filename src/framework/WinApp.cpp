// CWinApp, the help command, AfxMessageBox and the program's entry point.
#include "framework/WinApp.h"

#include <filesystem>

#include "framework/Backend.h"
#include "framework/Dialog.h"
#include "framework/PromptScript.h"

namespace morvex::fw {
namespace {

CWinApp*& CurrentApp() {
    static CWinApp* app = nullptr;
    return app;
}

std::filesystem::path ExecutablePath() {
    return HasBackend() ? std::filesystem::path(GetBackend().ExecutablePath())
                        : std::filesystem::path();
}

}  // namespace

CWinApp::CWinApp(std::string_view appName) : m_strAppName(appName), m_pPrevious(CurrentApp()) {
    CurrentApp() = this;
}

CWinApp::~CWinApp() {
    if (CurrentApp() == this) {
        CurrentApp() = m_pPrevious;
    }
}

int CWinApp::Run() {
    // Dialogs run their own loops; with no modeless window there is nothing to wait for.
    return ExitInstance();
}

std::string CWinApp::GetAppName() const {
    return !m_strAppName.empty() ? m_strAppName : ExecutablePath().stem().string();
}

std::string CWinApp::GetHelpFilePath() const {
    if (!m_strHelpFilePath.empty()) {
        return m_strHelpFilePath;
    }
    std::filesystem::path path = ExecutablePath();
    return path.empty() ? std::string{} : path.replace_extension(".html").string();
}

void CWinApp::OnHelp() {
    const CDialog* dialog = CDialog::GetActiveDialog();
    if (!WinHelp(dialog != nullptr ? dialog->GetHelpContext() : 0)) {
        AfxMessageBox(kHelpFailedPrompt, MB_ICONEXCLAMATION | MB_OK);
    }
}

bool CWinApp::WinHelp(unsigned context) {
    const std::string file = GetHelpFilePath();
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    return prompts::Help(file, context);
}

const MessageMap* CWinApp::GetThisMessageMap() {
    static const MessageMap map{CCmdTarget::GetThisMessageMap(), {}};
    return &map;
}

CWinApp* AfxGetApp() {
    return CurrentApp();
}

std::string AfxGetAppName() {
    if (const CWinApp* app = AfxGetApp()) {
        return app->GetAppName();
    }
    return ExecutablePath().stem().string();
}

int AfxMessageBox(std::string_view text, unsigned type) {
    const CDialog* owner = CDialog::GetActiveDialog();
    MessageBoxRequest request;
    request.owner = owner != nullptr ? owner->GetPeer() : nullptr;
    request.text = text;
    request.caption = AfxGetAppName();
    request.type = type;
    return prompts::MessageBox(request);
}

int AfxWinMain(int argc, char** argv) {
    BackendSession backend(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

}  // namespace morvex::fw
