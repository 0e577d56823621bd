// The Qt backend's test driver: real mouse and key events through Qt Test, on the real widgets.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <stdexcept>

#include "framework/PromptScript.h"
#include "framework/qt/QtDialogPeer.h"
#include "framework/testing/DialogDriver.h"

namespace morvex::fw::testing {
namespace {

using qt::QtDialogPeer;
using qt::ToQString;
using qt::ToUtf8;

Qt::Key ToQtKey(Key key) {
    switch (key) {
        case Key::enter:
            return Qt::Key_Return;
        case Key::escape:
            return Qt::Key_Escape;
        case Key::tab:
            return Qt::Key_Tab;
        case Key::f1:
            return Qt::Key_F1;
        case Key::up:
            return Qt::Key_Up;
        case Key::down:
            return Qt::Key_Down;
        case Key::home:
            return Qt::Key_Home;
        case Key::end:
            return Qt::Key_End;
        case Key::space:
            return Qt::Key_Space;
        case Key::backspace:
            return Qt::Key_Backspace;
    }
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers ToQtModifiers(unsigned modifiers) {
    Qt::KeyboardModifiers out;
    if ((modifiers & Modifier::shift) != 0) {
        out |= Qt::ShiftModifier;
    }
    if ((modifiers & Modifier::ctrl) != 0) {
        out |= Qt::ControlModifier;
    }
    if ((modifiers & Modifier::alt) != 0) {
        out |= Qt::AltModifier;
    }
    return out;
}

PixelRect ToPixelRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

class QtDialogDriver final : public DialogDriver {
  public:
    explicit QtDialogDriver(CDialog& dialog)
        : DialogDriver(dialog), m_peer(dynamic_cast<QtDialogPeer*>(dialog.GetPeer())) {
        if (m_peer == nullptr || m_peer->Window() == nullptr) {
            throw std::logic_error("the dialog is not running on the Qt backend");
        }
        QDialog* window = m_peer->Window();
        if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitForWindowActive(window)) {
            if (PromptScript* script = PromptScript::Active()) {
                script->AddProblem("dialog window did not become active");
            }
        }
    }

    void Click(int id) override {
        QWidget* widget = Required(id);
        // A check box reacts to clicks on its box and text only; its box sits at the left.
        const QPoint at = qobject_cast<QCheckBox*>(widget) != nullptr
                              ? QPoint(6, widget->height() / 2)
                              : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    }

    void ClickItem(int id, int index) override {
        auto* list = qobject_cast<QListWidget*>(Required(id));
        QListWidgetItem* item = list != nullptr ? list->item(index) : nullptr;
        if (item == nullptr) {
            throw std::out_of_range("no such list item");
        }
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(item).center());
    }

    void ChooseItem(int id, int index) override {
        QWidget* combo = Required(id);
        Focus(id);
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i) {
            QTest::keyClick(combo, Qt::Key_Down);
        }
    }

    void Focus(int id) override {
        QWidget* widget = Required(id);
        if (widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocus(Qt::MouseFocusReason);
        }
    }

    void Type(int id, std::string_view text) override {
        Focus(id);
        QTest::keyClicks(Required(id), ToQString(text));
    }

    void ReplaceText(int id, std::string_view text) override {
        Focus(id);
        QWidget* widget = Required(id);
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        if (text.empty()) {
            QTest::keyClick(widget, Qt::Key_Delete);
        } else {
            QTest::keyClicks(widget, ToQString(text));
        }
    }

    void Press(Key key, unsigned modifiers) override {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr || target->window() != m_peer->Window()) {
            target = m_peer->Window();
        }
        QTest::keyClick(target, ToQtKey(key), ToQtModifiers(modifiers));
    }

    void Press(char letter, unsigned modifiers) override {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr || target->window() != m_peer->Window()) {
            target = m_peer->Window();
        }
        QTest::keyClick(target, letter, ToQtModifiers(modifiers));
    }

    void ContextMenu() override {
        QDialog* window = m_peer->Window();
        const QPoint at(2, 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QApplication::sendEvent(window, &event);
    }

    void CloseBox() override { m_peer->Window()->close(); }

    std::string Title() const override { return ToUtf8(m_peer->Window()->windowTitle()); }

    std::string Text(int id) const override {
        QWidget* widget = Required(id);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            return ToUtf8(label->text());
        }
        return m_peer->GetText(id);
    }

    std::vector<std::string> StaticTexts() const override {
        std::vector<std::string> texts;
        for (QWidget* widget : m_peer->StaticControls()) {
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                if (label->pixmap().isNull()) {
                    texts.push_back(ToUtf8(label->text()));
                }
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                texts.push_back(ToUtf8(group->title()));
            }
        }
        return texts;
    }

    bool IsEnabled(int id) const override { return Required(id)->isEnabled(); }

    bool IsChecked(int id) const override {
        auto* button = qobject_cast<QAbstractButton*>(Required(id));
        return button != nullptr && button->isChecked();
    }

    std::vector<std::string> Items(int id) const override {
        std::vector<std::string> items;
        for (int i = 0; i < m_peer->GetCount(id); ++i) {
            items.push_back(m_peer->GetItemText(id, i));
        }
        return items;
    }

    int Selection(int id) const override { return m_peer->GetCurSel(id); }
    int Focused() const override { return m_peer->FocusedControl(); }
    std::pair<int, int> TextSelection(int id) const override { return m_peer->GetSel(id); }

    bool IsDefaultButton(int id) const override {
        auto* button = qobject_cast<QPushButton*>(Required(id));
        return button != nullptr && button->isDefault();
    }

    bool HasWindowIcon() const override { return !m_peer->Window()->windowIcon().isNull(); }

    std::string FontFamily() const override {
        return ToUtf8(QFontInfo(m_peer->Window()->font()).family());
    }

    PixelRect ControlRect(int id) const override { return ToPixelRect(Required(id)->geometry()); }
    PixelRect ClientRect() const override { return ToPixelRect(m_peer->Window()->rect()); }
    PixelRect MapDialogRect(const DluRect& rect) const override {
        return m_peer->MapDialogRect(rect);
    }

    bool SaveImage(const std::string& path) const override {
        return m_peer->Window()->grab().save(QString::fromStdString(path), "PNG");
    }

    bool SaveScreenImage(const std::string& path) const override {
        // Let the window system catch up with what the widgets have drawn.
        m_peer->Window()->repaint();
        QTest::qWait(100);
        QScreen* screen = m_peer->Window()->screen();
        return screen != nullptr && screen->grabWindow(0).save(QString::fromStdString(path), "PNG");
    }

  private:
    QWidget* Required(int id) const {
        QWidget* widget = m_peer->Control(id);
        if (widget == nullptr) {
            throw std::out_of_range("no control " + std::to_string(id));
        }
        return widget;
    }

    QtDialogPeer* m_peer;
};

}  // namespace

std::unique_ptr<DialogDriver> MakeDialogDriver(CDialog& dialog) {
    return std::make_unique<QtDialogDriver>(dialog);
}

}  // namespace morvex::fw::testing
