// Shows the setup dialog with a driver loaded, its first entry selected, and holds it on the
// screen until told to go, for a picture of the whole screen taken from outside:
//   morvex_win32_screenshot <driver file> <ready file> <done file>
// The ready file appears once the dialog is drawn; the dialog closes once the done file
// appears (or after a minute).
#include "framework/win32/Win32Api.h"

#include <cstdio>
#include <fstream>
#include <string>

#include "Resources.h"
#include "framework/Backend.h"
#include "framework/PromptScript.h"
#include "framework/testing/DialogDriver.h"
#include "framework/win32/Win32Backend.h"
#include "framework/win32/Win32Text.h"
#include "ui/SetupDlg.h"

using namespace morvex;
using namespace morvex::fw;

namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(win32::FromAnsiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Keeps the dialog alive (painting, answering the system) while it waits.
void HoldUntil(const std::string& done) {
    for (int waited = 0; waited < 60000 && !Exists(done); waited += 50) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            win32::DispatchAsModalLoop(message);
        }
        ::Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    BackendSession backend(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <driver file> <ready file> <done file>\n", argv[0]);
        return 2;
    }
    const std::string driver = argv[1];
    const std::string ready = argv[2];
    const std::string done = argv[3];

    PromptScript script;
    ui::CSetupDlg setup;
    testing::DriveNextDialog(script, [&](testing::DialogDriver& ui) {
        script.ChooseFile(driver);
        ui.Click(res::IDC_REFER);
        ui.ClickItem(res::IDC_ENTRY_LIST, 0);
        std::ofstream(ready) << "ready\n";
        HoldUntil(done);
        ui.Click(IDCANCEL);
    });
    setup.DoModal();

    for (const std::string& problem : script.Problems()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
    }
    return script.Problems().empty() && Exists(ready) ? 0 : 1;
}
