// The setup dialog's handlers: each user action calls the core and turns its outcome into
// a message box and the enabled state of the controls.
#include "ui/SetupDlg.h"

#include "Resources.h"
#include "editor/EntryEditor.h"
#include "framework/FileDialog.h"
#include "report/TextReport.h"
#include "ui/AboutDlg.h"

namespace morvex::ui {

using namespace fw;
using namespace res;

CSetupDlg::CSetupDlg(CWnd* pParent, FileSystem& files, DriverImage::BufferAllocator allocate)
    : CDialog(*FindDialog(IDD_SETUP_DIALOG), pParent),
      m_image(files, std::move(allocate)),
      m_hIcon(LoadIcon(IDR_MAINFRAME)),
      m_files(files) {}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    // The path has no length limit: a long path must neither be cut nor stop the exchange.
    // It is a file name in the system's encoding, shown as text: converted both ways, or a
    // name with letters beyond ASCII would come back from the control as another name.
    std::string shownPath = FileNameToText(m_strPath);
    DDX_Text(pDX, IDC_PATH, shownPath);
    if (pDX->m_bSaveAndValidate) {
        m_strPath = TextToFileName(shownPath);
    }
    DDX_CBIndex(pDX, IDC_PROTOCOL, m_nProtocol);
    DDX_Check(pDX, IDC_WRITE_PROTECT, m_bWriteProtect);
    DDX_LBIndex(pDX, IDC_ENTRY_LIST, m_nEntry);
    DDX_Text(pDX, IDC_PID, m_strPID);
    DDV_MaxChars(pDX, m_strPID, 4);
    DDX_Text(pDX, IDC_VID, m_strVID);
    DDV_MaxChars(pDX, m_strVID, 4);
    DDX_Text(pDX, IDC_MAX_ENTRIES, m_strMaxEntries);
    DDV_MaxChars(pDX, m_strMaxEntries, 5);
}

const MessageMap* CSetupDlg::GetThisMessageMap() {
    static constexpr MessageMapEntry entries[] = {
        OnSysCommandMessage<&CSetupDlg::OnSysCommand>(),
        OnPaintMessage<&CSetupDlg::OnPaint>(),
        OnQueryDragIconMessage<&CSetupDlg::OnQueryDragIcon>(),
        OnClicked<&CSetupDlg::OnRefer>(IDC_REFER),
        OnSelChange<&CSetupDlg::OnSelchangeEntryList>(IDC_ENTRY_LIST),
        OnClicked<&CSetupDlg::OnUpdateEntry>(IDC_UPDATE),
        OnClicked<&CSetupDlg::OnTextOut>(IDC_TEXT_OUT),
    };
    static const MessageMap map{CDialog::GetThisMessageMap(), entries};
    return &map;
}

bool CSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(false)) {
        const std::string_view about = LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    EnableEditing(false);
    return true;
}

void CSetupDlg::OnSysCommand(unsigned nID, long lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

std::pair<int, int> MinimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                        int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

void CSetupDlg::OnPaint() {
    if (IsIconic()) {
        const auto [width, height] = GetClientSize();
        const auto [iconWidth, iconHeight] = GetSystemIconSize();
        const auto [x, y] = MinimizedIconOrigin(width, height, iconWidth, iconHeight);
        PaintIconicIcon(m_hIcon, x, y);
    } else {
        CDialog::OnPaint();
    }
}

IconHandle CSetupDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CSetupDlg::EnableEditing(bool enable) {
    for (const int id : {IDC_ENTRY_LIST, IDC_PID, IDC_VID, IDC_PROTOCOL, IDC_WRITE_PROTECT,
                         IDC_UPDATE, IDC_TEXT_OUT, IDOK}) {
        GetDlgItem(id)->EnableWindow(enable);
    }
}

void CSetupDlg::OnRefer() {
    if (m_image.AllocateBuffer() == BufferOutcome::noMemory) {
        MessageBox(text::kNotEnoughMemory, {}, MB_ICONEXCLAMATION | MB_OK);
        return;
    }

    CFileDialog fileDialog(true, text::kReferExtension, {}, OFN_FILEMUSTEXIST, text::kReferFilter,
                           this);
    fileDialog.SetTitle(text::kReferTitle);
    if (fileDialog.DoModal() != IDOK) {
        return;
    }

    EnableEditing(false);
    m_strMaxEntries = "0";
    m_strPath = fileDialog.GetPathName();
    UpdateData(false);

    switch (m_image.Load(m_strPath)) {
        case LoadOutcome::readFailed:
            MessageBox(text::kCannotRead, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case LoadOutcome::noTable:
            MessageBox(text::kInvalidImage, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case LoadOutcome::loaded:
            break;
    }

    auto* list = GetDlgItemAs<CListBox>(IDC_ENTRY_LIST);
    list->ResetContent();
    const EntryList entries = BuildList(m_image);
    for (const ListItem& item : entries.items) {
        const int at = list->AddString(item.text);
        list->SetItemData(at, item.itemValue);
    }

    m_nEntry = entries.selected;
    m_strMaxEntries = std::to_string(m_image.GetCapacity());
    UpdateData(false);

    EnableEditing(true);
    OnSelchangeEntryList();
}

void CSetupDlg::OnSelchangeEntryList() {
    if (m_nEntry == -1) {
        return;
    }
    auto* list = GetDlgItemAs<CListBox>(IDC_ENTRY_LIST);
    m_nEntry = list->GetCurSel();
    if (!m_image.IsLoaded()) {
        return;
    }

    const EntryView view = GetFieldsFor(m_image, static_cast<int>(list->GetItemData(m_nEntry)));
    m_strVID = view.fields.m_strVID;
    m_strPID = view.fields.m_strPID;
    m_nProtocol = view.fields.m_nProtocol;
    m_bWriteProtect = view.fields.m_bWriteProtect;
    UpdateData(false);

    GetDlgItem(IDC_UPDATE)
        ->SetWindowText(view.label == ApplyLabel::add ? text::kAddLabel : text::kUpdateLabel);
    GetDlgItem(IDC_WRITE_PROTECT)->EnableWindow(view.canApply);
    GetDlgItem(IDC_UPDATE)->EnableWindow(view.canApply);
}

void CSetupDlg::OnUpdateEntry() {
    UpdateData(true);
    if (m_nEntry == -1) {
        return;
    }
    auto* list = GetDlgItemAs<CListBox>(IDC_ENTRY_LIST);
    m_nEntry = list->GetCurSel();
    // Nothing selected means nothing to apply to; the list box never gets there by itself.
    if (m_nEntry < 0 || !m_image.IsLoaded()) {
        return;
    }

    const EntryFields fields{m_strVID, m_strPID, m_nProtocol, m_bWriteProtect};
    const ApplyResult result =
        Apply(m_image, m_nEntry, static_cast<int>(list->GetItemData(m_nEntry)), fields);
    switch (result.outcome) {
        case ApplyOutcome::maximumEntryOver:
            MessageBox(text::kMaximumEntryOver, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case ApplyOutcome::invalidHex:
            MessageBox(text::kInvalidHex, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case ApplyOutcome::invalidProtocol:
            MessageBox(text::kInvalidProtocol, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case ApplyOutcome::duplicateEntry:
            MessageBox(text::kDuplicateEntry, {}, MB_ICONEXCLAMATION | MB_OK);
            return;
        case ApplyOutcome::applyOk:
            break;
    }

    if (result.change == ListChange::replaced) {
        list->DeleteString(m_nEntry);
    }
    list->InsertString(m_nEntry, result.itemText);
    list->SetItemData(m_nEntry, m_nEntry);

    UpdateData(false);
    OnSelchangeEntryList();
}

void CSetupDlg::OnTextOut() {
    CFileDialog fileDialog(true, text::kTextOutExtension, {}, 0, text::kTextOutFilter, this);
    fileDialog.SetTitle(text::kTextOutTitle);
    if (fileDialog.DoModal() != IDOK) {
        return;
    }
    if (!m_image.IsLoaded()) {
        return;
    }
    if (TextReport::Write(fileDialog.GetPathName(), m_image, m_strPath, m_files) ==
        ReportOutcome::written) {
        MessageBox(text::kTextOutDone, {}, MB_OK);
    } else {
        MessageBox(text::kTextOutFailure, {}, MB_ICONEXCLAMATION | MB_OK);
    }
}

void CSetupDlg::OnOK() {
    OnSave();
}

void CSetupDlg::OnSave() {
    if (m_image.IsLoaded() &&
        MessageBox(text::kSaveSettings, {}, MB_ICONQUESTION | MB_YESNO) == IDYES &&
        m_image.Save(m_strPath) == SaveOutcome::writeFailed) {
        MessageBox(text::kCannotUpdate, {}, MB_ICONEXCLAMATION | MB_OK);
    }
    CDialog::OnOK();
}

}  // namespace morvex::ui
