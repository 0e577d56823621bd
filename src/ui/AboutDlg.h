// CAboutDlg: the About box.
#pragma once

#include "framework/Dialog.h"

namespace morvex::ui {

class CAboutDlg : public fw::CDialog {
  public:
    CAboutDlg();
    ~CAboutDlg() override;

  protected:
    void DoDataExchange(fw::CDataExchange* pDX) override;

    static const fw::MessageMap* GetThisMessageMap();
    const fw::MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

}  // namespace morvex::ui
