// Scripted answers to prompts, and where the framework sends a prompt.
#include "framework/PromptScript.h"

#include "framework/Constants.h"
#include "framework/Dialog.h"

namespace morvex::fw {
namespace {

PromptScript*& CurrentScript() {
    static PromptScript* script = nullptr;
    return script;
}

int OwnerTemplateId(const DialogPeer* owner) {
    const CDialog* dialog = CDialog::FromPeer(owner);
    return dialog != nullptr ? dialog->GetTemplate().id : 0;
}

bool IsYesNo(unsigned type) {
    return (type & MB_TYPEMASK) == MB_YESNO;
}

}  // namespace

PromptScript::PromptScript() : m_pPrevious(CurrentScript()) {
    CurrentScript() = this;
}

PromptScript::~PromptScript() {
    if (CurrentScript() == this) {
        CurrentScript() = m_pPrevious;
    }
}

PromptScript* PromptScript::Active() {
    return CurrentScript();
}

void PromptScript::AnswerMessageBox(int answer) {
    m_messageBoxAnswers.push_back(answer);
}

void PromptScript::ChooseFile(std::string path, bool readOnly) {
    m_fileAnswers.push_back(FileDialogResult{std::move(path), readOnly});
}

void PromptScript::CancelFileDialog() {
    m_fileAnswers.push_back(std::nullopt);
}

void PromptScript::ChooseMenuItem(unsigned id) {
    m_menuAnswers.push_back(id);
}

void PromptScript::AnswerHelp(bool viewerStarts) {
    m_helpAnswers.push_back(viewerStarts);
}

void PromptScript::DriveDialog(std::function<void(CDialog&)> steps) {
    m_dialogSteps.push_back(std::move(steps));
}

std::vector<std::string> PromptScript::Problems() const {
    std::vector<std::string> problems = m_problems;
    for (const int answer : m_messageBoxAnswers) {
        problems.push_back("message-box answer " + std::to_string(answer) + " was not used");
    }
    for (const auto& answer : m_fileAnswers) {
        problems.push_back("file-dialog answer " + (answer ? '"' + answer->path + '"' : "cancel") +
                           " was not used");
    }
    for (const unsigned answer : m_menuAnswers) {
        problems.push_back("menu answer " + std::to_string(answer) + " was not used");
    }
    if (!m_helpAnswers.empty()) {
        problems.push_back("a help-viewer answer was not used");
    }
    if (!m_dialogSteps.empty()) {
        problems.push_back("steps for a dialog that never opened");
    }
    return problems;
}

int PromptScript::OnMessageBox(const MessageBoxRequest& request) {
    ShownMessageBox shown{request.text, request.caption, request.type,
                          OwnerTemplateId(request.owner), 0};
    const bool yesNo = IsYesNo(request.type);
    if (m_messageBoxAnswers.empty()) {
        m_problems.push_back("unanswered message box \"" + request.text + '"');
        shown.answer = yesNo ? IDNO : IDOK;
    } else {
        shown.answer = m_messageBoxAnswers.front();
        m_messageBoxAnswers.pop_front();
        const bool fits =
            yesNo ? (shown.answer == IDYES || shown.answer == IDNO) : shown.answer == IDOK;
        if (!fits) {
            m_problems.push_back("answer " + std::to_string(shown.answer) +
                                 " is not a button of \"" + request.text + '"');
        }
    }
    m_messageBoxes.push_back(shown);
    return shown.answer;
}

std::optional<FileDialogResult> PromptScript::OnFileDialog(const FileDialogRequest& request) {
    ShownFileDialog shown{request, OwnerTemplateId(request.owner), std::nullopt};
    shown.request.owner = nullptr;
    if (m_fileAnswers.empty()) {
        m_problems.push_back("unanswered file dialog \"" + request.title + '"');
    } else {
        shown.answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
    }
    m_fileDialogs.push_back(shown);
    return shown.answer;
}

unsigned PromptScript::OnMenu(const MenuRequest& request) {
    ShownMenu shown{request.items, OwnerTemplateId(request.owner), 0};
    if (m_menuAnswers.empty()) {
        m_problems.push_back("unanswered menu");
    } else {
        shown.answer = m_menuAnswers.front();
        m_menuAnswers.pop_front();
    }
    m_menus.push_back(shown);
    return shown.answer;
}

bool PromptScript::OnHelp(const std::string& file, unsigned context) {
    HelpRequest shown{file, context, false};
    if (m_helpAnswers.empty()) {
        m_problems.push_back("unanswered help request");
    } else {
        shown.shown = m_helpAnswers.front();
        m_helpAnswers.pop_front();
    }
    m_helpRequests.push_back(shown);
    return shown.shown;
}

std::function<void(CDialog&)> PromptScript::TakeDialogSteps() {
    if (m_dialogSteps.empty()) {
        return {};
    }
    auto steps = std::move(m_dialogSteps.front());
    m_dialogSteps.pop_front();
    return steps;
}

namespace prompts {

int MessageBox(const MessageBoxRequest& request) {
    if (PromptScript* script = PromptScript::Active()) {
        return script->OnMessageBox(request);
    }
    return GetBackend().MessageBox(request);
}

std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) {
    if (PromptScript* script = PromptScript::Active()) {
        return script->OnFileDialog(request);
    }
    return GetBackend().FileDialog(request);
}

unsigned Menu(const MenuRequest& request) {
    if (PromptScript* script = PromptScript::Active()) {
        return script->OnMenu(request);
    }
    return GetBackend().TrackMenu(request);
}

bool Help(const std::string& file, unsigned context) {
    if (PromptScript* script = PromptScript::Active()) {
        return script->OnHelp(file, context);
    }
    return GetBackend().OpenHelp(file, context);
}

}  // namespace prompts

}  // namespace morvex::fw
