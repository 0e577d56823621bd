// Shared ground of the dialog tests: a prompt script that must end with nothing left over,
// a fresh folder, and short ways to run a dialog with steps.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Resources.h"
#include "framework/PromptScript.h"
#include "framework/testing/DialogDriver.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex::test {

using fw::PromptScript;
using fw::testing::DialogDriver;

// What every message box of the program says in its caption: the executable's name.
inline constexpr const char* kAppName = "morvex_ui_tests";

class DialogTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_THAT(script.Problems(), ::testing::IsEmpty()); }

    // Runs `dialog` modally with `steps` done inside it; DoModal's result.
    int Run(fw::CDialog& dialog, std::function<void(DialogDriver&)> steps) {
        fw::testing::DriveNextDialog(script, std::move(steps));
        return dialog.DoModal();
    }

    // Chooses `path` with "&Refer..." as a user would.
    void Refer(DialogDriver& ui, const std::string& path) {
        script.ChooseFile(path);
        ui.Click(res::IDC_REFER);
    }

    // The last message box shown, checked whole: text, icon and buttons, caption, owner.
    void ExpectLastMessage(std::string_view text, unsigned type,
                           int ownerTemplateId = res::IDD_SETUP_DIALOG) {
        ASSERT_FALSE(script.MessageBoxes().empty()) << "no message box was shown";
        const auto& shown = script.MessageBoxes().back();
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.type, type) << shown.text;
        EXPECT_EQ(shown.caption, kAppName);
        EXPECT_EQ(shown.ownerTemplateId, ownerTemplateId);
    }

    std::string WriteDriver(const DriverFixture& fixture, const std::string& name = "KESTRIN.SYS") {
        return fixture.write(dir.file(name));
    }

    PromptScript script;
    TempDir dir;
};

}  // namespace morvex::test
