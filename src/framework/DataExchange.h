// Dialog data exchange: fields to controls and back, with text length limits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvex::fw {

class CDialog;

// The framework's message when a text is longer than its limit; %1 is the limit.
inline constexpr std::string_view kMaxCharsPrompt = "%1 文字以内で入力してください。";

// One run over a dialog's fields, in one direction.
class CDataExchange {
  public:
    CDataExchange(CDialog* pDlgWnd, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // Remembers the control the next check is about.
    void PrepareCtrl(int id);
    void PrepareEditCtrl(int id);
    // Moves the focus to the control last prepared (selecting an edit's whole text) and
    // stops the exchange: the fields after it keep their values.
    [[noreturn]] void Fail();

    int LastControl() const { return m_idLastControl; }
    bool LastControlIsEdit() const { return m_bEditLastControl; }

    const bool m_bSaveAndValidate;  // true: controls into fields
    CDialog* const m_pDlgWnd;

  private:
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
};

void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Check(CDataExchange* pDX, int id, bool& value);
// The selected position, -1 for none.
void DDX_LBIndex(CDataExchange* pDX, int id, int& index);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// Right after the DDX_Text of an edit: writing sets the edit's limit; reading refuses a
// longer text with kMaxCharsPrompt. Characters are counted as Unicode code points.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);

namespace detail {
// Thrown by CDataExchange::Fail, caught by CDialog::UpdateData.
struct DataExchangeStopped {};
}  // namespace detail

// Code points in UTF-8 text (a stray byte counts as one).
std::size_t CountChars(std::string_view utf8);

}  // namespace morvex::fw
