// CWinApp, the help command, AfxMessageBox and the program's entry point.
#include "framework/WinApp.h"

#include <cstdio>

#include "framework/Backend.h"
#include "framework/Dialog.h"
#include "framework/PromptScript.h"

namespace morvex::fw {
namespace {

CWinApp*& CurrentApp() {
    static CWinApp* app = nullptr;
    return app;
}

std::string ExecutablePath() {
    return HasBackend() ? GetBackend().ExecutablePath() : std::string();
}

// File names are taken apart as bytes, in whatever encoding the system gave them; the
// standard path class would read them as UTF-8 on Windows (and drag its locale machinery
// into the program). Both separators count, as they do on Windows.
std::size_t NameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Where the extension starts, or npos; a leading dot starts a name, not an extension.
std::size_t ExtensionStart(const std::string& path) {
    const std::size_t start = NameStart(path);
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && dot > start ? dot : std::string::npos;
}

std::string Stem(const std::string& path) {
    const std::size_t start = NameStart(path);
    const std::size_t end = ExtensionStart(path);
    return path.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string WithExtension(const std::string& path, const char* extension) {
    return path.substr(0, ExtensionStart(path)) + extension;
}

// A page the desktop could open: a file that opens and reads (a folder opens on some
// systems, but does not read).
bool IsReadableFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const bool readable = std::fgetc(file) != EOF || std::ferror(file) == 0;
    std::fclose(file);
    return readable;
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
    return !m_strAppName.empty() ? m_strAppName : Stem(ExecutablePath());
}

std::string CWinApp::GetHelpFilePath() const {
    if (!m_strHelpFilePath.empty()) {
        return m_strHelpFilePath;
    }
    const std::string path = ExecutablePath();
    return path.empty() ? std::string{} : WithExtension(path, ".html");
}

void CWinApp::OnHelp() {
    const CDialog* dialog = CDialog::GetActiveDialog();
    if (!WinHelp(dialog != nullptr ? dialog->GetHelpContext() : 0)) {
        AfxMessageBox(kHelpFailedPrompt, MB_ICONEXCLAMATION | MB_OK);
    }
}

bool CWinApp::WinHelp(unsigned context) {
    const std::string file = GetHelpFilePath();
    if (file.empty() || !IsReadableFile(file)) {
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
    return Stem(ExecutablePath());
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
