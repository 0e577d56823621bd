// Prompts answered ahead of time, as a user would answer them, and a record of every
// prompt shown: how the dialog tests drive message boxes, file dialogs, menus, the help
// viewer and nested dialogs on any backend.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Backend.h"

namespace morvex::fw {

class CDialog;

// While a PromptScript is alive no real prompt appears. A prompt without a scripted answer
// gets the harmless one (OK, No, cancel, no menu item, help not shown) and is listed in
// Problems(), as is every answer left unused when the script ends.
class PromptScript {
  public:
    PromptScript();
    ~PromptScript();
    PromptScript(const PromptScript&) = delete;
    PromptScript& operator=(const PromptScript&) = delete;

    // The script in force, or null.
    static PromptScript* Active();

    // Answers, used in the order given, each kind on its own.
    void AnswerMessageBox(int answer);  // IDOK, IDYES or IDNO
    void ChooseFile(std::string path, bool readOnly = false);
    void CancelFileDialog();
    void ChooseMenuItem(unsigned id);  // 0 dismisses the menu
    void AnswerHelp(bool viewerStarts);
    // Runs `steps` inside the next dialog's DoModal, once it is shown. A dialog still open
    // when its steps return is ended with -1 and listed in Problems().
    void DriveDialog(std::function<void(CDialog&)> steps);

    struct ShownMessageBox {
        std::string text;
        std::string caption;
        unsigned type = 0;
        int ownerTemplateId = 0;  // 0: no owner
        int answer = 0;
    };
    struct ShownFileDialog {
        FileDialogRequest request;  // its owner pointer is cleared
        int ownerTemplateId = 0;
        std::optional<FileDialogResult> answer;
    };
    struct ShownMenu {
        std::vector<MenuItem> items;
        int ownerTemplateId = 0;
        unsigned answer = 0;
    };
    struct HelpRequest {
        std::string file;
        unsigned context = 0;
        bool shown = false;
    };

    const std::vector<ShownMessageBox>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<ShownFileDialog>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<ShownMenu>& Menus() const { return m_menus; }
    const std::vector<HelpRequest>& HelpRequests() const { return m_helpRequests; }
    // Unanswered prompts and, once the script is finished with, unused answers.
    std::vector<std::string> Problems() const;

    // Used by the framework when a prompt is due.
    int OnMessageBox(const MessageBoxRequest& request);
    std::optional<FileDialogResult> OnFileDialog(const FileDialogRequest& request);
    unsigned OnMenu(const MenuRequest& request);
    bool OnHelp(const std::string& file, unsigned context);
    std::function<void(CDialog&)> TakeDialogSteps();
    void AddProblem(std::string problem) { m_problems.push_back(std::move(problem)); }

  private:
    std::deque<int> m_messageBoxAnswers;
    std::deque<std::optional<FileDialogResult>> m_fileAnswers;
    std::deque<unsigned> m_menuAnswers;
    std::deque<bool> m_helpAnswers;
    std::deque<std::function<void(CDialog&)>> m_dialogSteps;

    std::vector<ShownMessageBox> m_messageBoxes;
    std::vector<ShownFileDialog> m_fileDialogs;
    std::vector<ShownMenu> m_menus;
    std::vector<HelpRequest> m_helpRequests;
    std::vector<std::string> m_problems;
    PromptScript* m_pPrevious;
};

// Where the framework sends its prompts: to the active script, else to the backend.
namespace prompts {
int MessageBox(const MessageBoxRequest& request);
std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request);
unsigned Menu(const MenuRequest& request);
bool Help(const std::string& file, unsigned context);
}  // namespace prompts

}  // namespace morvex::fw
