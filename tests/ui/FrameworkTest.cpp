// The dialog framework on its own: data exchange and its length check, list boxes as the
// platform's, message maps, filter strings.
#include "DialogTest.h"
#include "framework/FileDialog.h"

namespace morvex::test {
namespace {

using namespace fw;
using fw::testing::Key;
namespace Modifier = fw::testing::Modifier;
using ::testing::ElementsAre;

constexpr int IDC_FIRST = 101;
constexpr int IDC_SECOND = 102;
constexpr int IDC_LIST = 103;
constexpr int kTemplateId = 900;

namespace cs = ControlStyle;
constexpr ControlTemplate kControls[] = {
    {IDC_FIRST, ControlKind::edit, {5, 5, 60, 12}, "", cs::tabStop | cs::border | cs::autoHScroll},
    {IDC_SECOND, ControlKind::edit, {5, 20, 60, 12}, "", cs::tabStop | cs::border},
    {IDC_LIST,
     ControlKind::listBox,
     {5, 35, 60, 40},
     "",
     cs::notify | cs::tabStop | cs::border | cs::vScroll | cs::noIntegralHeight},
    {IDOK, ControlKind::defPushButton, {70, 5, 40, 14}, "OK", cs::tabStop},
    {IDCANCEL, ControlKind::pushButton, {70, 22, 40, 14}, "Cancel", cs::tabStop},
};
constexpr DialogTemplate kTemplate{kTemplateId,
                                   "Exchange",
                                   {0, 0, 120, 80},
                                   "Tahoma",
                                   9,
                                   400,
                                   DialogStyle::popup | DialogStyle::caption | DialogStyle::sysMenu,
                                   kControls};

class ExchangeDialog : public CDialog {
  public:
    ExchangeDialog() : CDialog(kTemplate) {}

    std::string m_strFirst = "abc";
    std::string m_strSecond = "second";
    int m_nLimit = 10;
    int m_nSelChanges = 0;

    CListBox& List() { return *GetDlgItemAs<CListBox>(IDC_LIST); }

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_FIRST, m_strFirst);
        DDV_MaxChars(pDX, m_strFirst, m_nLimit);
        DDX_Text(pDX, IDC_SECOND, m_strSecond);
    }

    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        for (const int data : {10, 20, 30}) {
            List().SetItemData(List().AddString("item " + std::to_string(data)), data);
        }
        return true;
    }

    void OnSelChangeList() { ++m_nSelChanges; }

    static const MessageMap* GetThisMessageMap() {
        static constexpr MessageMapEntry entries[] = {
            OnSelChange<&ExchangeDialog::OnSelChangeList>(IDC_LIST),
        };
        static const MessageMap map{CDialog::GetThisMessageMap(), entries};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

using FrameworkTest = DialogTest;

TEST_F(FrameworkTest, ATooLongTextIsRefusedAndStopsTheExchangeThere) {
    ExchangeDialog dialog;
    Run(dialog, [&](DialogDriver& ui) {
        ui.ReplaceText(IDC_FIRST, "abcdef");
        ui.ReplaceText(IDC_SECOND, "typed");
        dialog.m_nLimit = 4;

        script.AnswerMessageBox(IDOK);
        EXPECT_FALSE(dialog.UpdateData(true));
        ExpectLastMessage("4 文字以内で入力してください。", MB_ICONEXCLAMATION | MB_OK,
                          kTemplateId);
        EXPECT_EQ(ui.Focused(), IDC_FIRST);
        EXPECT_EQ(ui.TextSelection(IDC_FIRST), std::pair(0, 6));
        EXPECT_EQ(dialog.m_strSecond, "second") << "fields after the failing one keep their values";

        // The framework's OK reads back first and stays open when that fails.
        script.AnswerMessageBox(IDOK);
        ui.Click(IDOK);
        EXPECT_TRUE(dialog.IsRunning());

        dialog.m_nLimit = 6;
        EXPECT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.m_strSecond, "typed");
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(script.MessageBoxes().size(), 2u);
}

TEST_F(FrameworkTest, ALimitRefusesTypingButKeepsALongerTextAlreadyThere) {
    ExchangeDialog dialog;
    dialog.m_nLimit = 4;
    Run(dialog, [&](DialogDriver& ui) {
        ui.ReplaceText(IDC_FIRST, "abcdefgh");
        EXPECT_EQ(ui.Text(IDC_FIRST), "abcd");

        dialog.m_strFirst = "123456789";
        dialog.UpdateData(false);
        EXPECT_EQ(ui.Text(IDC_FIRST), "123456789");
        // Where the caret sits after a program's text is the toolkit's; the user goes to the end.
        ui.Press(Key::end);
        ui.Press(Key::backspace);
        EXPECT_EQ(ui.Text(IDC_FIRST), "12345678") << "shortening is always allowed";
        ui.Click(IDCANCEL);
    });
}

TEST_F(FrameworkTest, ListBoxesNotifyOnlyWhatTheUserChanges) {
    ExchangeDialog dialog;
    Run(dialog, [&](DialogDriver& ui) {
        dialog.List().SetCurSel(1);
        EXPECT_EQ(dialog.m_nSelChanges, 0);

        ui.ClickItem(IDC_LIST, 2);
        EXPECT_EQ(dialog.m_nSelChanges, 1);
        EXPECT_EQ(dialog.List().GetCurSel(), 2);

        // No key or click leaves a single-selection list without a selection.
        ui.Focus(IDC_LIST);
        ui.Press(Key::space, Modifier::ctrl);
        EXPECT_EQ(dialog.List().GetCurSel(), 2);

        ui.Press(Key::up);
        EXPECT_EQ(dialog.m_nSelChanges, 2);
        EXPECT_EQ(ui.Selection(IDC_LIST), 1);
        ui.Click(IDCANCEL);
    });
}

TEST_F(FrameworkTest, ItemDataTravelsWithItsItem) {
    ExchangeDialog dialog;
    Run(dialog, [&](DialogDriver& ui) {
        CListBox& list = dialog.List();
        list.SetCurSel(1);
        EXPECT_EQ(list.InsertString(0, "first"), 0);
        EXPECT_EQ(list.GetCurSel(), 2) << "the selected item moved down";
        EXPECT_EQ(list.GetItemData(2), 20);
        EXPECT_EQ(list.GetText(2), "item 20");

        EXPECT_EQ(list.DeleteString(2), 3);
        EXPECT_EQ(list.GetCurSel(), LB_ERR) << "deleting the selected item leaves none";
        EXPECT_THAT(ui.Items(IDC_LIST), ElementsAre("first", "item 10", "item 30"));

        EXPECT_EQ(list.GetItemData(7), LB_ERR);
        EXPECT_EQ(list.SetCurSel(7), LB_ERR);
        EXPECT_EQ(list.InsertString(9, "far"), LB_ERR);
        EXPECT_EQ(dialog.m_nSelChanges, 0);
        ui.Click(IDCANCEL);
    });
}

TEST(FileFilterTest, SplitsDescriptionPatternPairs) {
    struct Case {
        std::string_view filter;
        std::vector<std::pair<std::string, std::string>> pairs;
    };
    const Case cases[] = {
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||",
         {{"Text Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}}},
        {"KESTRIN Driver Files (kestrin.sys)|kestrin.sys||",
         {{"KESTRIN Driver Files (kestrin.sys)", "kestrin.sys"}}},
        {"Both|*.a;*.b", {{"Both", "*.a;*.b"}}},
        {"Dangling|*.x|Alone", {{"Dangling", "*.x"}}},
        {"", {}},
        {"||", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const FileFilter& filter : CFileDialog::ParseFilter(c.filter)) {
            pairs.emplace_back(filter.description, filter.patterns);
        }
        EXPECT_EQ(pairs, c.pairs) << c.filter;
    }
}

TEST(CountCharsTest, CountsCodePoints) {
    const std::pair<std::string_view, std::size_t> cases[] = {
        {"", 0}, {"ABCD", 4}, {"Größe", 5}, {"文字", 2}, {"ﾍﾙﾌﾟ", 4}, {"\xFF\xFE", 2}};
    for (const auto& [text, count] : cases) {
        EXPECT_EQ(CountChars(text), count) << text;
    }
}

// Message maps without any window: first matching entry wins, then the base's map.
class BaseTarget : public CCmdTarget {
  public:
    std::vector<std::string> calls;
    void OnBase() { calls.push_back("base"); }
    static const MessageMap* GetThisMessageMap() {
        static constexpr MessageMapEntry entries[] = {
            OnCommand<&BaseTarget::OnBase>(7, 0),
            OnCommand<&BaseTarget::OnBase>(8, 0),
        };
        static const MessageMap map{CCmdTarget::GetThisMessageMap(), entries};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

class DerivedTarget : public BaseTarget {
  public:
    void OnFirst() { calls.push_back("first"); }
    void OnSecond() { calls.push_back("second"); }
    static const MessageMap* GetThisMessageMap() {
        static constexpr MessageMapEntry entries[] = {
            OnCommand<&DerivedTarget::OnFirst>(7, 0),
            OnCommand<&DerivedTarget::OnSecond>(7, 0),
            OnCommand<&DerivedTarget::OnSecond>(7, 1),
        };
        static const MessageMap map{BaseTarget::GetThisMessageMap(), entries};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

TEST(MessageMapTest, TheFirstMatchingEntryWinsThenTheBaseClassMap) {
    DerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(MessageKind::command, {7, 0, 0}));
    EXPECT_TRUE(target.OnCmdMsg(MessageKind::command, {7, 1, 0}));
    EXPECT_TRUE(target.OnCmdMsg(MessageKind::command, {8, 0, 0}));
    EXPECT_FALSE(target.OnCmdMsg(MessageKind::command, {9, 0, 0}));
    EXPECT_FALSE(target.OnCmdMsg(MessageKind::sysCommand, {7, 0, 0}));
    EXPECT_THAT(target.calls, ElementsAre("first", "second", "base"));
}

}  // namespace
}  // namespace morvex::test
