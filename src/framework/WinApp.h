// CWinApp: the application object (start-up hook, main window, help command) and the
// program's entry point.
#pragma once

#include <string>
#include <string_view>

#include "framework/Constants.h"
#include "framework/MessageMap.h"

namespace morvex::fw {

class CWnd;

class CWinApp : public CCmdTarget {
  public:
    // Without a name the application is named after the executable's file name without
    // its extension. The newest CWinApp alive is the application.
    explicit CWinApp(std::string_view appName = {});
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The start-up hook; false ends the program without running the message loop.
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
    // The message loop, while a main window is shown modelessly; returns ExitInstance().
    virtual int Run();

    // Asks for three-dimensional dialog controls; every supported toolkit draws them so
    // already, so nothing is left to do.
    bool Enable3dControls() { return true; }

    std::string GetAppName() const;
    // Where the help command looks: by default the executable's path with its extension
    // replaced by ".html".
    std::string GetHelpFilePath() const;
    void SetHelpFilePath(std::string path) { m_strHelpFilePath = std::move(path); }

    // The standard help handler: shows the help page at the context of the innermost
    // running dialog; when that fails, says so in a message box.
    void OnHelp();
    // Shows the help page at `context`; false when it could not be shown.
    virtual bool WinHelp(unsigned context);

    CWnd* m_pMainWnd = nullptr;

  protected:
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    std::string m_strAppName;
    std::string m_strHelpFilePath;
    CWinApp* m_pPrevious;
};

// The framework's message when the help page cannot be shown.
inline constexpr std::string_view kHelpFailedPrompt = "ﾍﾙﾌﾟの起動に失敗しました。";

CWinApp* AfxGetApp();
// The application's name; without an application, the executable's file name without
// its extension.
std::string AfxGetAppName();
// A message box owned by the innermost running dialog, captioned with the application's
// name.
int AfxMessageBox(std::string_view text, unsigned type = MB_OK);

// The program: starts the backend, runs the application's start-up and, if it asks for
// it, the message loop. The command line is left to the toolkit.
int AfxWinMain(int argc, char** argv);

}  // namespace morvex::fw
