// CSetupDlg: the setup dialog, where the whole job is done.
#pragma once

#include <string>
#include <utility>

#include "framework/Dialog.h"
#include "image/DriverImage.h"
#include "image/FileSystem.h"

namespace morvex::ui {

class CSetupDlg : public fw::CDialog {
  public:
    // `files` and `allocate` stand in for the file system and the heap in tests.
    explicit CSetupDlg(fw::CWnd* pParent = nullptr, FileSystem& files = SystemFileSystem(),
                       DriverImage::BufferAllocator allocate = {});
    ~CSetupDlg() override;

  protected:
    void DoDataExchange(fw::CDataExchange* pDX) override;
    bool OnInitDialog() override;
    // The OK command: OnSave.
    void OnOK() override;

    void OnSysCommand(unsigned nID, long lParam);
    void OnPaint();
    fw::IconHandle OnQueryDragIcon();
    void OnRefer();
    void OnSelchangeEntryList();
    void OnUpdateEntry();
    void OnTextOut();
    void OnSave();

    void EnableEditing(bool enable);

    static const fw::MessageMap* GetThisMessageMap();
    const fw::MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    // m_nTableOffset, m_nLength and m_pBuffer.
    DriverImage m_image;
    std::string m_strPath;
    int m_nProtocol = -1;
    bool m_bWriteProtect = false;
    int m_nEntry = -1;
    std::string m_strPID;
    std::string m_strVID;
    std::string m_strMaxEntries;
    fw::IconHandle m_hIcon;

    FileSystem& m_files;
};

// Where a minimized window's icon goes: centred, the halves truncated toward zero.
std::pair<int, int> MinimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                        int iconHeight);

}  // namespace morvex::ui
