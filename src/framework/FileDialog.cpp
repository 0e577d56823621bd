// CFileDialog: the request as the program states it, answered by the script or the backend.
#include "framework/FileDialog.h"

#include "framework/Dialog.h"
#include "framework/PromptScript.h"

namespace morvex::fw {

CFileDialog::CFileDialog(bool openFileDialog, std::string_view defaultExtension,
                         std::string_view fileName, unsigned flags, std::string_view filter,
                         CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd) {
    m_request.open = openFileDialog;
    m_request.defaultExtension = defaultExtension;
    m_request.initialName = fileName;
    m_request.flags = flags;
    m_request.filters = ParseFilter(filter);
}

int CFileDialog::DoModal() {
    const CDialog* owner =
        m_pParentWnd != nullptr ? m_pParentWnd->GetOwningDialog() : CDialog::GetActiveDialog();
    m_request.owner = owner != nullptr ? owner->GetPeer() : nullptr;
    auto result = prompts::FileDialog(m_request);
    m_request.owner = nullptr;
    if (!result) {
        return IDCANCEL;
    }
    m_result = std::move(*result);
    return IDOK;
}

std::vector<FileFilter> CFileDialog::ParseFilter(std::string_view filter) {
    std::vector<std::string_view> parts;
    while (!filter.empty()) {
        const auto bar = filter.find('|');
        parts.push_back(filter.substr(0, bar));
        filter = bar == std::string_view::npos ? std::string_view{} : filter.substr(bar + 1);
    }
    std::vector<FileFilter> filters;
    // An empty description is the "||" that ends the list.
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        filters.push_back({std::string(parts[i]), std::string(parts[i + 1])});
    }
    return filters;
}

}  // namespace morvex::fw
