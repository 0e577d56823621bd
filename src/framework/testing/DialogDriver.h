// DialogDriver: a test's hands and eyes on a running dialog, implemented by each backend's
// testing library over its real widgets, so the same dialog tests run on every backend.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Dialog.h"
#include "framework/PromptScript.h"
#include "framework/Template.h"

namespace morvex::fw::testing {

enum class Key { enter, escape, tab, f1, up, down, home, end, space, backspace };

namespace Modifier {
inline constexpr unsigned none = 0;
inline constexpr unsigned shift = 1;
inline constexpr unsigned ctrl = 2;
inline constexpr unsigned alt = 4;
}  // namespace Modifier

using fw::PixelRect;

class DialogDriver {
  public:
    virtual ~DialogDriver() = default;

    // What a user does. Input goes through the toolkit's event queue, so a disabled
    // control ignores it as it would ignore the user.
    virtual void Click(int id) = 0;                        // left click on a button or check box
    virtual void ClickItem(int id, int index) = 0;         // left click on a list box's item
    virtual void ChooseItem(int id, int index) = 0;        // picks a drop-down item by keyboard
    virtual void Focus(int id) = 0;                        // as by a click into the control
    virtual void Type(int id, std::string_view text) = 0;  // focus, then keystrokes
    virtual void ReplaceText(int id, std::string_view text) = 0;  // focus, select all, type
    virtual void Press(Key key, unsigned modifiers = Modifier::none) = 0;  // to the focus
    virtual void Press(char letter, unsigned modifiers) = 0;  // a letter key, e.g. Alt+V
    virtual void ContextMenu() = 0;  // right click on the dialog's background
    virtual void CloseBox() = 0;

    // What a user sees.
    virtual std::string Title() const = 0;
    virtual std::string Text(int id) const = 0;
    // The texts of the controls without an ID (labels, group boxes), in template order.
    virtual std::vector<std::string> StaticTexts() const = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual bool IsChecked(int id) const = 0;
    virtual std::vector<std::string> Items(int id) const = 0;
    virtual int Selection(int id) const = 0;  // -1: none
    virtual int Focused() const = 0;          // control ID, 0: none of them
    virtual std::pair<int, int> TextSelection(int id) const = 0;
    virtual bool IsDefaultButton(int id) const = 0;
    virtual bool HasWindowIcon() const = 0;
    virtual std::string FontFamily() const = 0;

    // Geometry: where a control sits in the client area, and where its template puts it.
    virtual PixelRect ControlRect(int id) const = 0;
    virtual PixelRect ClientRect() const = 0;
    virtual PixelRect MapDialogRect(const DluRect& rect) const = 0;

    // The dialog's client area as a PNG file.
    virtual bool SaveImage(const std::string& path) const = 0;
    // The whole screen as the window system holds it, as a PNG file.
    virtual bool SaveScreenImage(const std::string& path) const = 0;

    CDialog& Dialog() const { return m_dialog; }

  protected:
    explicit DialogDriver(CDialog& dialog) : m_dialog(dialog) {}

  private:
    CDialog& m_dialog;
};

// Made by the linked backend's testing library for a running dialog.
std::unique_ptr<DialogDriver> MakeDialogDriver(CDialog& dialog);

// Runs `steps` with a driver inside the next dialog's DoModal, once it is shown.
void DriveNextDialog(PromptScript& script, std::function<void(DialogDriver&)> steps);

}  // namespace morvex::fw::testing
