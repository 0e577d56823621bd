// CDialog: the modal run, routing of the window's reports, and the framework's defaults.
#include "framework/Dialog.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "framework/PromptScript.h"
#include "framework/WinApp.h"

namespace morvex::fw {
namespace {

// Innermost last.
std::vector<CDialog*>& RunningDialogs() {
    static std::vector<CDialog*> running;
    return running;
}

std::unique_ptr<CWnd> MakeControl(CDialog& dialog, const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::pushButton:
        case ControlKind::defPushButton:
        case ControlKind::autoCheckBox:
            return std::make_unique<CButton>(dialog, control.id);
        case ControlKind::edit:
            return std::make_unique<CEdit>(dialog, control.id);
        case ControlKind::listBox:
            return std::make_unique<CListBox>(dialog, control.id);
        case ControlKind::dropDownList:
            return std::make_unique<CComboBox>(dialog, control.id);
        case ControlKind::label:
        case ControlKind::icon:
        case ControlKind::groupBox:
            break;
    }
    return std::make_unique<CStatic>(dialog, control.id);
}

}  // namespace

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* pParent)
    : m_template(dialogTemplate), m_pParentWnd(pParent) {
    for (const ControlTemplate& control : m_template.controls) {
        if (control.id != IDC_STATIC && !m_controls.contains(control.id)) {
            m_controls.emplace(control.id, MakeControl(*this, control));
        }
    }
}

CDialog::~CDialog() = default;

CDialog* CDialog::GetActiveDialog() {
    auto& running = RunningDialogs();
    return running.empty() ? nullptr : running.back();
}

CDialog* CDialog::FromPeer(const DialogPeer* peer) {
    if (peer == nullptr) {
        return nullptr;
    }
    for (CDialog* dialog : RunningDialogs()) {
        if (dialog->GetPeer() == peer) {
            return dialog;
        }
    }
    return nullptr;
}

int CDialog::DoModal() {
    if (!HasBackend() || m_pPeer != nullptr) {
        return -1;
    }
    const CDialog* owner =
        m_pParentWnd != nullptr ? m_pParentWnd->GetOwningDialog() : GetActiveDialog();
    m_pPeer = GetBackend().CreateDialogPeer(*this, m_template,
                                            owner != nullptr ? owner->GetPeer() : nullptr);
    if (m_pPeer == nullptr) {
        return -1;
    }
    m_pSystemMenu.reset();
    RunningDialogs().push_back(this);

    if (PromptScript* script = PromptScript::Active()) {
        if (auto steps = script->TakeDialogSteps()) {
            GetBackend().Post([this, script, steps = std::move(steps)] {
                try {
                    steps(*this);
                } catch (const std::exception& error) {
                    script->AddProblem(std::string("dialog steps threw: ") + error.what());
                }
                if (IsRunning()) {
                    script->AddProblem("dialog " + std::to_string(m_template.id) +
                                       " was still open when its steps ended");
                    EndDialog(-1);
                }
            });
        }
    }

    const int result = m_pPeer->RunModal();

    auto& running = RunningDialogs();
    running.erase(std::remove(running.begin(), running.end(), this), running.end());
    m_pPeer.reset();
    m_pSystemMenu.reset();
    return result;
}

void CDialog::EndDialog(int result) {
    if (m_pPeer != nullptr) {
        m_pPeer->EndModal(result);
    }
}

bool CDialog::IsRunning() const {
    return m_pPeer != nullptr && m_pPeer->IsRunning();
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const detail::DataExchangeStopped&) {
        return false;
    }
    return true;
}

unsigned CDialog::GetHelpContext() const {
    return HID_BASE_RESOURCE + static_cast<unsigned>(m_template.id);
}

CWnd* CDialog::GetDlgItem(int id) {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second.get() : nullptr;
}

CMenu* CDialog::GetSystemMenu(bool) {
    if ((m_template.style & DialogStyle::sysMenu) == 0) {
        return nullptr;
    }
    if (m_pSystemMenu == nullptr) {
        m_pSystemMenu = std::make_unique<CMenu>(*this);
    }
    return m_pSystemMenu.get();
}

void CDialog::SetIcon(IconHandle icon, bool big) {
    if (m_pPeer != nullptr) {
        m_pPeer->SetIcon(icon, big);
    }
}

bool CDialog::IsIconic() const {
    return m_pPeer != nullptr && m_pPeer->IsIconic();
}

std::pair<int, int> CDialog::GetClientSize() const {
    return m_pPeer != nullptr ? m_pPeer->ClientSize() : std::pair{0, 0};
}

std::pair<int, int> CDialog::GetSystemIconSize() const {
    return m_pPeer != nullptr ? m_pPeer->SystemIconSize() : std::pair{32, 32};
}

void CDialog::PaintIconicIcon(IconHandle icon, int x, int y) {
    if (m_pPeer != nullptr) {
        m_pPeer->DrawIconicIcon(icon, x, y);
    }
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnPaint() {
    m_bDefaultHandling = true;
}

void CDialog::OnSysCommand(unsigned, long) {
    m_bDefaultHandling = true;
}

const MessageMap* CDialog::GetThisMessageMap() {
    static constexpr MessageMapEntry entries[] = {
        OnClicked<&CDialog::OnOK>(IDOK),
        OnClicked<&CDialog::OnCancel>(IDCANCEL),
    };
    static const MessageMap map{CWnd::GetThisMessageMap(), entries};
    return &map;
}

bool CDialog::HostInitDialog() {
    return OnInitDialog();
}

void CDialog::HostCommand(int id, int code) {
    RouteCommand(static_cast<unsigned>(id), code);
}

void CDialog::RouteCommand(unsigned id, int code) {
    const MessageArgs args{id, code, 0};
    if (OnCmdMsg(MessageKind::command, args)) {
        return;
    }
    // Commands the dialog does not handle (the help command) go to the application.
    if (CWinApp* app = AfxGetApp()) {
        app->OnCmdMsg(MessageKind::command, args);
    }
}

bool CDialog::HostSysCommand(unsigned id) {
    m_bDefaultHandling = false;
    const bool handled = OnCmdMsg(MessageKind::sysCommand, MessageArgs{id, 0, 0});
    return handled && !m_bDefaultHandling;
}

void CDialog::HostHelpKey() {
    RouteCommand(ID_HELP, 0);
}

void CDialog::HostContextMenu() {
    if (m_pSystemMenu == nullptr || m_pSystemMenu->ContextItems().empty() || m_pPeer == nullptr) {
        return;
    }
    MenuRequest request;
    request.owner = m_pPeer.get();
    request.items = m_pSystemMenu->ContextItems();
    if (const unsigned id = prompts::Menu(request); id != 0) {
        HostSysCommand(id);
    }
}

bool CDialog::HostPaint() {
    m_bDefaultHandling = false;
    const bool handled = OnCmdMsg(MessageKind::paint, MessageArgs{});
    return handled && !m_bDefaultHandling;
}

IconHandle CDialog::HostQueryDragIcon() {
    IconHandle icon = nullptr;
    OnCmdMsg(MessageKind::queryDragIcon, MessageArgs{}, &icon);
    return icon;
}

}  // namespace morvex::fw
