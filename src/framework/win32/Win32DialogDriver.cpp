// The Win32 backend's test driver: mouse and key messages posted to the real controls and
// run through the modal loop's own steps (message filter, dialog manager, translation).
#include "framework/win32/Win32Api.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "framework/PromptScript.h"
#include "framework/testing/DialogDriver.h"
#include "framework/win32/Win32Backend.h"
#include "framework/win32/Win32Text.h"

namespace morvex::fw::testing {
namespace {

using win32::Narrow;
using win32::Widen;
using win32::Win32DialogPeer;

UINT VirtualKey(Key key) {
    switch (key) {
        case Key::enter:
            return VK_RETURN;
        case Key::escape:
            return VK_ESCAPE;
        case Key::tab:
            return VK_TAB;
        case Key::f1:
            return VK_F1;
        case Key::up:
            return VK_UP;
        case Key::down:
            return VK_DOWN;
        case Key::home:
            return VK_HOME;
        case Key::end:
            return VK_END;
        case Key::space:
            return VK_SPACE;
        case Key::backspace:
            return VK_BACK;
    }
    return 0;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// A PNG file of 24-bit rows: stored (uncompressed) deflate blocks, which every reader takes.
class PngWriter {
  public:
    static bool Write(const std::string& path, int width, int height,
                      const std::vector<std::uint8_t>& rgb) {
        std::vector<std::uint8_t> raw;
        raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
        for (int y = 0; y < height; ++y) {
            raw.push_back(0);  // no filter
            const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
            raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(width) * 3);
        }
        std::vector<std::uint8_t> zlib{0x78, 0x01};
        for (std::size_t at = 0; at < raw.size() || at == 0;) {
            const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
            const bool last = at + length >= raw.size();
            zlib.push_back(last ? 1 : 0);
            zlib.push_back(static_cast<std::uint8_t>(length & 0xFF));
            zlib.push_back(static_cast<std::uint8_t>(length >> 8));
            zlib.push_back(static_cast<std::uint8_t>(~length & 0xFF));
            zlib.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
            zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                        raw.begin() + static_cast<std::ptrdiff_t>(at + length));
            at += length;
            if (last) {
                break;
            }
        }
        Put32(zlib, Adler32(raw));

        std::vector<std::uint8_t> header;
        Put32(header, static_cast<std::uint32_t>(width));
        Put32(header, static_cast<std::uint32_t>(height));
        header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB

        std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Chunk(file, "IHDR", header);
        Chunk(file, "IDAT", zlib);
        Chunk(file, "IEND", {});
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
        out.close();
        return static_cast<bool>(out);
    }

  private:
    static void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
        }
    }
    static std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
        std::uint32_t a = 1;
        std::uint32_t b = 0;
        for (const std::uint8_t byte : data) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        return (b << 16) | a;
    }
    static std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
        for (std::size_t i = 0; i < size; ++i) {
            crc ^= data[i];
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            }
        }
        return crc;
    }
    static void Chunk(std::vector<std::uint8_t>& file, const char* type,
                      const std::vector<std::uint8_t>& data) {
        Put32(file, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = file.size();
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), data.begin(), data.end());
        const std::uint32_t crc =
            Crc32(file.data() + start, file.size() - start, 0xFFFFFFFFu) ^ 0xFFFFFFFFu;
        Put32(file, crc);
    }
};

// What `window` shows (the whole screen for null), `width` by `height` pixels from its
// top left corner, as a PNG file.
bool Capture(HWND window, int width, int height, const std::string& path) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC source = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(source);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (memory != nullptr && bitmap != nullptr) {
        const HGDIOBJ previous = ::SelectObject(memory, bitmap);
        const bool copied = ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        ::GdiFlush();
        if (copied) {
            std::vector<std::uint8_t> rgb;
            rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
            const auto* pixels = static_cast<const std::uint32_t*>(bits);
            for (int i = 0; i < width * height; ++i) {
                rgb.push_back(static_cast<std::uint8_t>((pixels[i] >> 16) & 0xFF));
                rgb.push_back(static_cast<std::uint8_t>((pixels[i] >> 8) & 0xFF));
                rgb.push_back(static_cast<std::uint8_t>(pixels[i] & 0xFF));
            }
            saved = PngWriter::Write(path, width, height, rgb);
        }
        ::SelectObject(memory, previous);
    }
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
    if (memory != nullptr) {
        ::DeleteDC(memory);
    }
    ::ReleaseDC(window, source);
    return saved;
}

class Win32DialogDriver final : public DialogDriver {
  public:
    explicit Win32DialogDriver(CDialog& dialog)
        : DialogDriver(dialog), m_peer(dynamic_cast<Win32DialogPeer*>(dialog.GetPeer())) {
        if (m_peer == nullptr || m_peer->Window() == nullptr) {
            throw std::logic_error("the dialog is not running on the Win32 backend");
        }
        Settle();
    }

    void Click(int id) override {
        const HWND control = Required(id);
        if (!Reachable(control)) {
            return;
        }
        RECT client{};
        ::GetClientRect(control, &client);
        // A check box reacts on its box and text; its box sits at the left.
        const bool checkBox = KindOf(id) == ControlKind::autoCheckBox;
        const int x = checkBox ? 6 : client.right / 2;
        const int y = client.bottom / 2;
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        ::PostMessageW(control, WM_LBUTTONUP, 0, Point(x, y));
        Settle();
    }

    void ClickItem(int id, int index) override {
        const HWND list = Required(id);
        const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (KindOf(id) != ControlKind::listBox || index < 0 || index >= count) {
            throw std::out_of_range("no such list item");
        }
        if (!Reachable(list)) {
            return;
        }
        // Scrolled into view first, as a user would.
        RECT client{};
        ::GetClientRect(list, &client);
        RECT item{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item));
        if (item.top < client.top || item.bottom > client.bottom) {
            ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(&item));
        }
        const int x = (item.left + item.right) / 2;
        const int y = (item.top + item.bottom) / 2;
        ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        ::PostMessageW(list, WM_LBUTTONUP, 0, Point(x, y));
        Settle();
    }

    void ChooseItem(int id, int index) override {
        Required(id);
        Focus(id);
        if (FocusedWindow() != Required(id)) {
            return;
        }
        KeyPress(VK_HOME, Modifier::none);
        for (int i = 0; i < index; ++i) {
            KeyPress(VK_DOWN, Modifier::none);
        }
    }

    void Focus(int id) override {
        const HWND control = Required(id);
        if (Reachable(control)) {
            ::SetFocus(control);
            Settle();
        }
    }

    void Type(int id, std::string_view text) override {
        const HWND control = Required(id);
        if (!Reachable(control)) {
            return;
        }
        Focus(id);
        // Typing goes on after the text, where a click behind it puts the caret.
        if (KindOf(id) == ControlKind::edit) {
            const LRESULT length = ::GetWindowTextLengthW(control);
            ::SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(length), length);
        }
        TypeCharacters(control, text);
    }

    void ReplaceText(int id, std::string_view text) override {
        const HWND control = Required(id);
        if (!Reachable(control)) {
            return;
        }
        Focus(id);
        // Select everything as the keyboard does: Home, then Shift+End.
        KeyPress(VK_HOME, Modifier::none);
        KeyPress(VK_END, Modifier::shift);
        if (text.empty()) {
            KeyPress(VK_DELETE, Modifier::none);
        } else {
            TypeCharacters(control, text);
        }
    }

    void Press(Key key, unsigned modifiers) override { KeyPress(VirtualKey(key), modifiers); }

    void Press(char letter, unsigned modifiers) override {
        KeyPress(static_cast<UINT>(std::toupper(static_cast<unsigned char>(letter))), modifiers);
    }

    void ContextMenu() override {
        const HWND dialog = m_peer->Window();
        const auto& items = m_peer->SystemMenuItems();
        if (items.empty()) {
            // Nothing of the program's in the system menu: a plain right click.
            ::PostMessageW(dialog, WM_RBUTTONDOWN, MK_RBUTTON, Point(2, 2));
            ::PostMessageW(dialog, WM_RBUTTONUP, 0, Point(2, 2));
            Settle();
            return;
        }
        // Here the program's items live in the window's system menu; the user opens it and
        // picks one, which reaches the dialog as the system command of that item.
        MenuRequest request;
        request.owner = m_peer;
        request.items = items;
        if (const unsigned id = prompts::Menu(request); id != 0) {
            ::PostMessageW(dialog, WM_SYSCOMMAND, id, 0);
            Settle();
        }
    }

    void CloseBox() override {
        ::PostMessageW(m_peer->Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Settle();
    }

    std::string Title() const override { return m_peer->Title(); }

    std::string Text(int id) const override { return m_peer->GetText(Id(id)); }

    std::vector<std::string> StaticTexts() const override {
        std::vector<std::string> texts;
        for (const auto& [control, window] : m_peer->StaticControls()) {
            if (control->kind == ControlKind::label || control->kind == ControlKind::groupBox) {
                const int length = ::GetWindowTextLengthW(window);
                std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(
                    std::max(::GetWindowTextW(window, text.data(), length + 1), 0)));
                texts.push_back(Narrow(text));
            }
        }
        return texts;
    }

    bool IsEnabled(int id) const override { return ::IsWindowEnabled(Required(id)) != FALSE; }

    bool IsChecked(int id) const override {
        return ::SendMessageW(Required(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    std::vector<std::string> Items(int id) const override {
        std::vector<std::string> items;
        for (int i = 0; i < m_peer->GetCount(Id(id)); ++i) {
            items.push_back(m_peer->GetItemText(id, i));
        }
        return items;
    }

    int Selection(int id) const override {
        const int selected = m_peer->GetCurSel(Id(id));
        return selected >= 0 ? selected : -1;
    }

    int Focused() const override { return m_peer->FocusedControl(); }

    std::pair<int, int> TextSelection(int id) const override { return m_peer->GetSel(Id(id)); }

    bool IsDefaultButton(int id) const override {
        Required(id);
        const LRESULT answer = ::SendMessageW(m_peer->Window(), DM_GETDEFID, 0, 0);
        return HIWORD(answer) == DC_HASDEFID && LOWORD(answer) == id;
    }

    bool HasWindowIcon() const override {
        const HWND dialog = m_peer->Window();
        return ::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0 &&
               ::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
    }

    std::string FontFamily() const override {
        const HWND dialog = m_peer->Window();
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
        HDC dc = ::GetDC(dialog);
        const HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
        wchar_t face[LF_FACESIZE] = {};
        const int length = ::GetTextFaceW(dc, LF_FACESIZE, face);
        if (previous != nullptr) {
            ::SelectObject(dc, previous);
        }
        ::ReleaseDC(dialog, dc);
        return length > 0 ? Narrow(face) : std::string{};
    }

    PixelRect ControlRect(int id) const override {
        RECT rect{};
        ::GetWindowRect(Required(id), &rect);
        ::MapWindowPoints(nullptr, m_peer->Window(), reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }

    PixelRect ClientRect() const override {
        RECT rect{};
        ::GetClientRect(m_peer->Window(), &rect);
        return {0, 0, rect.right - rect.left, rect.bottom - rect.top};
    }

    PixelRect MapDialogRect(const DluRect& rect) const override {
        return m_peer->MapDialogRect(rect);
    }

    bool SaveImage(const std::string& path) const override {
        const HWND dialog = m_peer->Window();
        ::RedrawWindow(dialog, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        const PixelRect client = ClientRect();
        return Capture(dialog, client.width, client.height, path);
    }

    bool SaveScreenImage(const std::string& path) const override {
        ::RedrawWindow(m_peer->Window(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        return Capture(nullptr, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                       path);
    }

  private:
    HWND Required(int id) const {
        const HWND control = m_peer->Control(id);
        if (control == nullptr) {
            throw std::out_of_range("no control " + std::to_string(id));
        }
        return control;
    }

    int Id(int id) const {
        Required(id);
        return id;
    }

    ControlKind KindOf(int id) const {
        const ControlTemplate* control = m_peer->TemplateOf(id);
        return control != nullptr ? control->kind : ControlKind::label;
    }

    // Whether the user's mouse can reach the control: shown, enabled, in an enabled dialog.
    bool Reachable(HWND control) const {
        return ::IsWindowVisible(control) && ::IsWindowEnabled(control) &&
               ::IsWindowEnabled(m_peer->Window());
    }

    HWND FocusedWindow() const {
        const HWND focus = ::GetFocus();
        const HWND dialog = m_peer->Window();
        return focus != nullptr && (focus == dialog || ::IsChild(dialog, focus)) ? focus : dialog;
    }

    // A key goes to the focus with the modifiers held for its while; Alt makes it a system
    // key, as the keyboard does.
    void KeyPress(UINT virtualKey, unsigned modifiers) {
        BYTE saved[256] = {};
        ::GetKeyboardState(saved);
        BYTE held[256];
        std::copy(std::begin(saved), std::end(saved), std::begin(held));
        const bool alt = (modifiers & Modifier::alt) != 0;
        auto hold = [&held](int key, bool down) { held[key] = down ? 0x80 : 0; };
        hold(VK_SHIFT, (modifiers & Modifier::shift) != 0);
        hold(VK_LSHIFT, (modifiers & Modifier::shift) != 0);
        hold(VK_CONTROL, (modifiers & Modifier::ctrl) != 0);
        hold(VK_LCONTROL, (modifiers & Modifier::ctrl) != 0);
        hold(VK_MENU, alt);
        hold(VK_LMENU, alt);
        ::SetKeyboardState(held);

        const HWND target = FocusedWindow();
        const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1L << 29) : 0);
        const LPARAM up = down | (1L << 30) | (1L << 31);
        ::PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down);
        ::PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, up);
        Settle();
        ::SetKeyboardState(saved);
    }

    void TypeCharacters(HWND control, std::string_view text) {
        for (const wchar_t unit : Widen(text)) {
            ::PostMessageW(control, WM_CHAR, unit, 1);
        }
        Settle();
    }

    // Runs what is queued now and everything it leads to, as the modal loop would.
    void Settle() const {
        MSG message;
        for (int turns = 0; turns < 100000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
             ++turns) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            win32::DispatchAsModalLoop(message);
        }
    }

    Win32DialogPeer* m_peer;
};

}  // namespace

std::unique_ptr<DialogDriver> MakeDialogDriver(CDialog& dialog) {
    return std::make_unique<Win32DialogDriver>(dialog);
}

}  // namespace morvex::fw::testing
