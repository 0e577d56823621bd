// Dialog steps with a driver, on any backend.
#include "framework/testing/DialogDriver.h"

namespace morvex::fw::testing {

void DriveNextDialog(PromptScript& script, std::function<void(DialogDriver&)> steps) {
    script.DriveDialog([steps = std::move(steps)](CDialog& dialog) {
        const auto driver = MakeDialogDriver(dialog);
        steps(*driver);
    });
}

}  // namespace morvex::fw::testing
