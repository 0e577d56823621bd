// Renders the setup dialog (with a driver loaded) and the About box to PNG files, and the
// whole screen while the setup dialog shows:
//   morvex_ui_screenshots <output folder> <driver file>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Resources.h"
#include "framework/Backend.h"
#include "framework/PromptScript.h"
#include "framework/testing/DialogDriver.h"
#include "ui/SetupDlg.h"

using namespace morvex;
using namespace morvex::fw;

int main(int argc, char** argv) {
    BackendSession backend(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <driver file>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    // A file dialog hands back full paths; so does this stand-in for it.
    const std::string driver = std::filesystem::absolute(argv[2]).string();
    bool saved = true;

    PromptScript script;
    ui::CSetupDlg setup;
    testing::DriveNextDialog(script, [&](testing::DialogDriver& ui) {
        script.ChooseFile(driver);
        ui.Click(res::IDC_REFER);
        ui.ClickItem(res::IDC_ENTRY_LIST, 1);
        saved = ui.SaveImage(folder + "/setup-dialog.png") && saved;
        saved = ui.SaveScreenImage(folder + "/screen.png") && saved;

        testing::DriveNextDialog(script, [&](testing::DialogDriver& about) {
            saved = about.SaveImage(folder + "/about-box.png") && saved;
            about.Click(IDOK);
        });
        script.ChooseMenuItem(res::IDM_ABOUTBOX);
        ui.ContextMenu();
        ui.Click(IDCANCEL);
    });
    setup.DoModal();

    for (const std::string& problem : script.Problems()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
    }
    if (!saved || !script.Problems().empty()) {
        std::fprintf(stderr, "the pictures could not be made\n");
        return 1;
    }
    return 0;
}
