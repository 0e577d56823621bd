// What the system made of the dialogs and resources on the Win32 backend: window classes and
// styles from the templates, the version record and the icon in the executable, F1 through
// the real modal loop, and the edges where text changes its encoding.
#include "framework/win32/Win32Api.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "DialogTest.h"
#include "app/SetupApp.h"
#include "framework/win32/Win32Backend.h"
#include "framework/win32/Win32Text.h"
#include "ui/SetupDlg.h"

namespace morvex::test {
namespace {

using namespace fw;
using namespace res;
using fw::win32::Win32DialogPeer;
using ui::CSetupDlg;

HWND WindowOf(const CDialog& dialog) {
    const auto* peer = dynamic_cast<const Win32DialogPeer*>(dialog.GetPeer());
    return peer != nullptr ? peer->Window() : nullptr;
}

HWND ControlOf(const CDialog& dialog, int id) {
    return ::GetDlgItem(WindowOf(dialog), id);
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return win32::Narrow(name);
}

LONG StyleOf(HWND window) {
    return ::GetWindowLongW(window, GWL_STYLE);
}

LONG ExtendedStyleOf(HWND window) {
    return ::GetWindowLongW(window, GWL_EXSTYLE);
}

// A control as the setup dialog's template writes it, in the system's terms.
struct ControlCase {
    int id;
    const char* windowClass;
    DWORD kindMask;     // the class's own style bits that are looked at
    DWORD kindStyle;    // their expected value
    DWORD windowStyle;  // expected among WS_TABSTOP and WS_GROUP
    bool border;
};

constexpr DWORD kPushTypes = BS_TYPEMASK & ~static_cast<DWORD>(BS_DEFPUSHBUTTON);
constexpr DWORD kEditBits = ES_UPPERCASE | ES_LOWERCASE | ES_READONLY | ES_AUTOHSCROLL |
                            ES_MULTILINE | ES_PASSWORD | ES_NUMBER;
constexpr DWORD kListBits =
    LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL;
constexpr DWORD kStaticBits = SS_TYPEMASK | SS_CENTERIMAGE | SS_NOPREFIX;

// The default button's emphasis moves to a focused push button, so push buttons are checked
// for "a push button" (BS_PUSHBUTTON or BS_DEFPUSHBUTTON); the dialog's default separately.
const ControlCase kSetupControls[] = {
    {IDC_REFER, "Button", kPushTypes | BS_MULTILINE, BS_PUSHBUTTON, WS_TABSTOP | WS_GROUP, false},
    {IDC_ENTRY_LIST, "ListBox", kListBits, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_TABSTOP | WS_GROUP,
     true},
    {IDC_VID, "Edit", kEditBits, ES_UPPERCASE | ES_AUTOHSCROLL, WS_TABSTOP | WS_GROUP, true},
    {IDC_PID, "Edit", kEditBits, ES_UPPERCASE, WS_TABSTOP | WS_GROUP, true},
    {IDC_PROTOCOL, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWNLIST, WS_TABSTOP | WS_GROUP,
     false},
    {IDC_WRITE_PROTECT, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP, false},
    {IDC_UPDATE, "Button", kPushTypes | BS_MULTILINE, BS_PUSHBUTTON | BS_MULTILINE, WS_TABSTOP,
     false},
    {IDOK, "Button", kPushTypes | BS_MULTILINE, BS_PUSHBUTTON, WS_TABSTOP, false},
    {IDCANCEL, "Button", kPushTypes | BS_MULTILINE, BS_PUSHBUTTON, WS_TABSTOP, false},
    {IDC_PATH, "Edit", kEditBits, ES_READONLY | ES_AUTOHSCROLL, WS_GROUP, true},
    {IDC_MAX_ENTRIES, "Static", kStaticBits, SS_LEFT | SS_CENTERIMAGE, WS_GROUP, false},
    {IDC_TEXT_OUT, "Button", kPushTypes | BS_MULTILINE, BS_PUSHBUTTON, WS_TABSTOP, false},
};

using Win32BackendTest = DialogTest;

TEST_F(Win32BackendTest, TheSetupDialogIsMadeOfTheSystemsControlsAsTheTemplateWritesThem) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        const HWND window = WindowOf(dialog);
        ASSERT_NE(window, nullptr);
        for (const ControlCase& c : kSetupControls) {
            SCOPED_TRACE(c.id);
            const HWND control = ControlOf(dialog, c.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(ClassOf(control), c.windowClass);
            const DWORD style = static_cast<DWORD>(StyleOf(control));
            EXPECT_EQ(style & c.kindMask, c.kindStyle);
            EXPECT_EQ(style & (WS_TABSTOP | WS_GROUP), c.windowStyle);
            // With the three-dimensional look the system may draw a border as a sunken edge.
            const bool border =
                (style & WS_BORDER) != 0 || (ExtendedStyleOf(control) & WS_EX_CLIENTEDGE) != 0;
            EXPECT_EQ(border, c.border);
        }
        EXPECT_EQ(::SendMessageW(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        EXPECT_EQ(::SendMessageW(ControlOf(dialog, IDC_PROTOCOL), CB_GETCOUNT, 0, 0), 6);

        const DWORD style = static_cast<DWORD>(StyleOf(window));
        const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        EXPECT_EQ(style & wanted, wanted);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
        EXPECT_NE(ExtendedStyleOf(window) & WS_EX_APPWINDOW, 0);

        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
        ASSERT_EQ(::GetObjectW(handle, sizeof font, &font), static_cast<int>(sizeof font));
        EXPECT_EQ(win32::Narrow(font.lfFaceName), "Tahoma");
        HDC screen = ::GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
        ::ReleaseDC(nullptr, screen);
        EXPECT_LT(font.lfWeight, FW_SEMIBOLD);
        ui.Click(IDCANCEL);
    });
}

TEST_F(Win32BackendTest, TheAboutBoxOpensCentredOverTheSetupDialogWithTheProgramIcon) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        fw::testing::DriveNextDialog(script, [&](DialogDriver& about) {
            const HWND window = WindowOf(about.Dialog());
            EXPECT_EQ(::GetWindow(window, GW_OWNER), WindowOf(dialog));
            RECT owner{};
            RECT self{};
            ::GetWindowRect(WindowOf(dialog), &owner);
            ::GetWindowRect(window, &self);
            EXPECT_NEAR((self.left + self.right) / 2, (owner.left + owner.right) / 2, 1);
            EXPECT_NEAR((self.top + self.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
            EXPECT_EQ(ExtendedStyleOf(window) & WS_EX_APPWINDOW, 0);

            const HWND icon = ::GetWindow(window, GW_CHILD);
            EXPECT_EQ(StyleOf(icon) & SS_TYPEMASK, SS_ICON);
            EXPECT_NE(::SendMessageW(icon, STM_GETICON, 0, 0), 0);
            const HWND version = ::GetWindow(icon, GW_HWNDNEXT);
            EXPECT_NE(StyleOf(version) & SS_NOPREFIX, 0);
            about.Click(IDOK);
        });
        script.ChooseMenuItem(IDM_ABOUTBOX);
        ui.ContextMenu();
        ui.Click(IDCANCEL);
    });
}

TEST_F(Win32BackendTest, AboutFollowsASeparatorInTheRealSystemMenu) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        HMENU menu = ::GetSystemMenu(WindowOf(dialog), FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
                  0u);
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), IDM_ABOUTBOX);
        wchar_t text[32] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 32, MF_BYPOSITION);
        EXPECT_EQ(win32::Narrow(text), "&About...");
        ui.Click(IDCANCEL);
    });
}

TEST_F(Win32BackendTest, TheDragIconIsTheWindowsOneIconAtTheSystemSize) {
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        const HWND window = WindowOf(dialog);
        const LRESULT big = ::SendMessageW(window, WM_GETICON, ICON_BIG, 0);
        ASSERT_NE(big, 0);
        EXPECT_EQ(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), big);
        EXPECT_EQ(::SendMessageW(window, WM_QUERYDRAGICON, 0, 0), big);
        ICONINFO parts{};
        ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(big), &parts));
        BITMAP mask{};
        ::GetObjectW(parts.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, ::GetSystemMetrics(SM_CXICON));
        ::DeleteObject(parts.hbmMask);
        if (parts.hbmColor != nullptr) {
            ::DeleteObject(parts.hbmColor);
        }
        ui.Click(IDCANCEL);
    });
}

// The real DialogBox loop, not the test driver's: its message filter is where F1 is taken.
TEST_F(Win32BackendTest, F1ReachesTheHelpThroughTheDialogsOwnModalLoop) {
    app::CSetupApp app;
    const std::string help = dir.file("morvex.html");
    std::ofstream(help) << "<!doctype html><title>help</title>";
    app.SetHelpFilePath(help);
    CSetupDlg dialog;
    script.AnswerHelp(true);
    GetBackend().Post([&] {
        const HWND window = WindowOf(dialog);
        const HWND focus = ::GetFocus() != nullptr ? ::GetFocus() : window;
        ::PostMessageW(focus, WM_KEYDOWN, VK_F1, 1);
        ::PostMessageW(focus, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC0000001u));
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(script.HelpRequests().size(), 1u);
    EXPECT_EQ(script.HelpRequests()[0].context, 0x20000u + IDD_SETUP_DIALOG);
}

TEST_F(Win32BackendTest, DisablingTheFocusedControlMovesTheFocusOn) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x0001, 0x0001, 0x03));
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ui.Focus(IDC_UPDATE);
        ASSERT_EQ(ui.Focused(), IDC_UPDATE);
        dialog.GetDlgItem(IDC_UPDATE)->EnableWindow(false);
        EXPECT_EQ(ui.Focused(), IDOK) << "the next tab stop";
        ui.Click(IDCANCEL);
    });
}

TEST_F(Win32BackendTest, AClickReportedByADisabledControlChangesNothing) {
    const std::string driver = WriteDriver(DriverFixture().entry(0x0001, 0x0001, 0x83));
    CSetupDlg dialog;
    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        ASSERT_FALSE(ui.IsEnabled(IDC_UPDATE)) << "a write-protected entry";
        ui.ReplaceText(IDC_VID, "ABCD");
        const HWND update = ControlOf(dialog, IDC_UPDATE);
        ::SendMessageW(WindowOf(dialog), WM_COMMAND, MAKEWPARAM(IDC_UPDATE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(update));
        EXPECT_EQ(ui.Items(IDC_ENTRY_LIST)[0], " VID_0001&PID_0001");
        ui.Click(IDCANCEL);
    });
    EXPECT_THAT(script.MessageBoxes(), ::testing::IsEmpty());
}

// A driver in a folder whose name goes beyond ASCII: the dialog shows the name as text, reads
// it back from the control, and saves to the file by its own name in the ANSI code page.
TEST_F(Win32BackendTest, ADriverInAFolderBeyondAsciiIsShownAndSavedByItsOwnName) {
    const std::wstring folderName = L"caf\u00E9 \u00FC";
    BOOL lossy = FALSE;
    char ansiName[32] = {};
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folderName.c_str(), -1, ansiName,
                              sizeof ansiName, nullptr, &lossy) <= 0 ||
        lossy) {
        GTEST_SKIP() << "the ANSI code page " << ::GetACP() << " cannot spell the folder";
    }
    const std::string folder = dir.path() + "\\" + ansiName;
    ASSERT_TRUE(::CreateDirectoryW(win32::FromAnsiPath(folder).c_str(), nullptr));
    const std::string driver = folder + "\\KESTRIN.SYS";
    const DriverFixture fixture = DriverFixture().entry(0x1234, 0x0001, 0x03);
    std::vector<std::uint8_t> bytes = fixture.bytes();
    {
        auto file = SystemFileSystem().Open(driver, OpenMode::createOrReplace);
        ASSERT_NE(file, nullptr);
        ASSERT_TRUE(WriteFully(*file, 0, bytes));
        ASSERT_TRUE(file->Close());
    }
    CSetupDlg dialog;

    Run(dialog, [&](DialogDriver& ui) {
        Refer(ui, driver);
        EXPECT_EQ(ui.Text(IDC_PATH), win32::Narrow(win32::FromAnsiPath(driver)));
        ui.ReplaceText(IDC_PID, "0009");
        ui.Click(IDC_UPDATE);
        script.AnswerMessageBox(IDYES);
        ui.Click(IDOK);
    });

    ExpectLastMessage("Save settings ?", MB_ICONQUESTION | MB_YESNO);
    auto file = SystemFileSystem().Open(driver, OpenMode::readExisting);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(ReadFully(*file, 0, bytes), std::optional<std::size_t>(bytes.size()));
    EXPECT_EQ(bytes[fixture.slotOffset(0) + 2], 0x09);
}

std::wstring VersionValue(const std::vector<char>& record, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904b0\\" + name;
    if (!::VerQueryValueW(record.data(), path.c_str(), &value, &length) || value == nullptr) {
        return L"<missing>";
    }
    return std::wstring(static_cast<const wchar_t*>(value), length > 0 ? length - 1 : 0);
}

std::vector<char> VersionRecordOfThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    std::vector<char> record(size);
    if (size == 0 || !::GetFileVersionInfoW(path, 0, size, record.data())) {
        record.clear();
    }
    return record;
}

TEST(Win32ResourcesTest, TheVersionRecordIsARealResourceOfTheProgram) {
    const std::vector<char> record = VersionRecordOfThisProgram();
    ASSERT_FALSE(record.empty()) << "no version record in the executable";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"CompanyName", L""},
        {L"FileDescription", L"KESTRIN VID/PID Setup"},
        {L"FileVersion", L"1, 0, 0, 1"},
        {L"InternalName", L"MORVEX"},
        {L"OriginalFilename", L"MORVEX.EXE"},
        {L"ProductName", L"KESTRIN VID/PID Setup"},
        {L"ProductVersion", L"1, 0, 0, 1"},
    };
    for (const auto& [name, expected] : values) {
        EXPECT_EQ(win32::Narrow(VersionValue(record, name)), win32::Narrow(expected))
            << win32::Narrow(name);
    }
    EXPECT_FALSE(VersionValue(record, L"LegalCopyright").empty());
    EXPECT_NE(VersionValue(record, L"LegalCopyright"), L"<missing>");
}

TEST(Win32ResourcesTest, EveryResourceIsTaggedJapanese) {
    const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    const struct {
        const wchar_t* type;
        const wchar_t* name;
    } resources[] = {
        {RT_VERSION, MAKEINTRESOURCEW(1)},
        {RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME)},
        {RT_STRING, MAKEINTRESOURCEW(IDS_ABOUTBOX / 16 + 1)},
    };
    for (const auto& resource : resources) {
        EXPECT_NE(::FindResourceExW(nullptr, resource.type, resource.name, japanese), nullptr)
            << reinterpret_cast<std::uintptr_t>(resource.type);
    }
    wchar_t about[32] = {};
    EXPECT_GT(::LoadStringW(nullptr, IDS_ABOUTBOX, about, 32), 0);
    EXPECT_EQ(win32::Narrow(about), "&About...");
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconGroupEntry) == 14);

// Every pixel of each image the executable carries, drawn on a colour the palette lacks,
// against the icon's data: the palette colour where the data has one, the ground elsewhere.
TEST(Win32ResourcesTest, TheIconResourceHoldsEveryPixelOfTheIconData) {
    const IconResource* icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    HRSRC group = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* header = static_cast<const WORD*>(::LockResource(::LoadResource(nullptr, group)));
    ASSERT_EQ(header[2], icon->images.size());
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 3);

    constexpr std::uint32_t kGround = 0x123456;
    for (std::size_t i = 0; i < icon->images.size(); ++i) {
        const IconImage& image = icon->images[i];
        const IconGroupEntry& entry = entries[i];
        SCOPED_TRACE(image.size);
        EXPECT_EQ(entry.width, image.size);
        EXPECT_EQ(entry.height, image.size);
        EXPECT_EQ(entry.colours, 16);
        EXPECT_EQ(entry.bitCount, 4);

        HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_NE(found, nullptr);
        auto* bits = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, found)));
        HICON handle = ::CreateIconFromResourceEx(bits, ::SizeofResource(nullptr, found), TRUE,
                                                  0x00030000, image.size, image.size, 0);
        ASSERT_NE(handle, nullptr);

        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = image.size;
        info.bmiHeader.biHeight = -image.size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pixels = nullptr;
        HDC dc = ::CreateCompatibleDC(nullptr);
        HBITMAP canvas = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        const HGDIOBJ previous = ::SelectObject(dc, canvas);
        auto* argb = static_cast<std::uint32_t*>(pixels);
        std::fill(argb, argb + image.size * image.size, kGround);
        ::DrawIconEx(dc, 0, 0, handle, image.size, image.size, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
        int wrong = 0;
        for (int y = 0; y < image.size; ++y) {
            for (int x = 0; x < image.size; ++x) {
                const char pixel =
                    image.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                const std::uint32_t expected =
                    pixel == '.' ? kGround
                                 : icon->palette[static_cast<std::size_t>(
                                       pixel <= '9' ? pixel - '0' : pixel - 'A' + 10)];
                if ((argb[y * image.size + x] & 0xFFFFFF) != expected) {
                    ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        ::SelectObject(dc, previous);
        ::DeleteObject(canvas);
        ::DeleteDC(dc);
        ::DestroyIcon(handle);
    }
}

TEST(Win32TextTest, TextCrossesBetweenUtf8AndUtf16Whole) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"&About...", L"&About..."},
        {"\xEF\xBE\x8D\xEF\xBE\x99\xEF\xBE\x8C\xEF\xBE\x9F", L"\uFF8D\uFF99\uFF8C\uFF9F"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(win32::Widen(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(win32::Narrow(c.wide), c.utf8);
    }
    // A bad byte is replaced, and the rest of the text survives.
    EXPECT_EQ(win32::Widen("a\xFF"
                           "b"),
              L"a\uFFFDb");
}

// A name the ANSI code page cannot spell must open that file or nothing, never a file whose
// name a "best fit" spelling happens to give.
TEST(Win32TextTest, AnUnspellableNameNeverNamesAnotherFile) {
    TempDir dir;
    const std::wstring folder = win32::FromAnsiPath(dir.path());
    const std::wstring name = folder + L"\\\u0101x\u4E00.sys";
    std::ofstream(std::filesystem::path(name)) << "A";
    std::ofstream(std::filesystem::path(folder + L"\\ax.sys")) << "B";
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(name)));

    const std::string ansi = win32::ToAnsiPath(name);
    EXPECT_NE(ansi, win32::ToAnsiPath(folder + L"\\ax.sys"));
    if (auto file = SystemFileSystem().Open(ansi, OpenMode::readExisting)) {
        std::uint8_t byte = 0;
        ASSERT_EQ(file->ReadAt(0, {&byte, 1}), std::optional<std::size_t>(1));
        EXPECT_EQ(byte, 'A') << ansi;
    }
}

}  // namespace
}  // namespace morvex::test
