// CFileDialog: the open-file dialog, with title, filter pairs, default extension and options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/Backend.h"
#include "framework/Constants.h"

namespace morvex::fw {

class CWnd;

class CFileDialog {
  public:
    // `filter` lists description|pattern pairs and ends with "||":
    //   "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||".
    CFileDialog(bool openFileDialog, std::string_view defaultExtension = {},
                std::string_view fileName = {}, unsigned flags = OFN_HIDEREADONLY,
                std::string_view filter = {}, CWnd* pParentWnd = nullptr);

    void SetTitle(std::string_view title) { m_request.title = title; }

    // IDOK with a chosen file, IDCANCEL when the user cancelled.
    int DoModal();
    std::string GetPathName() const { return m_result.path; }
    bool GetReadOnlyPref() const { return m_result.readOnly; }

    const FileDialogRequest& Request() const { return m_request; }

    // The pairs of a filter string; a trailing unpaired description is dropped.
    static std::vector<FileFilter> ParseFilter(std::string_view filter);

  private:
    FileDialogRequest m_request;
    CWnd* m_pParentWnd;
    FileDialogResult m_result;
};

}  // namespace morvex::fw
