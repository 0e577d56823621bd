// CSetupApp: the application object; the setup dialog is its only main window.
#pragma once

#include "framework/WinApp.h"

namespace morvex::app {

class CSetupApp : public fw::CWinApp {
  public:
    CSetupApp();

    // Runs the setup dialog modally and ends the program with it.
    bool InitInstance() override;

  protected:
    static const fw::MessageMap* GetThisMessageMap();
    const fw::MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

}  // namespace morvex::app
