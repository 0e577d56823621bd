// Dialog windows made with Qt Widgets from the toolkit-neutral templates.
#include "framework/qt/QtDialogPeer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRawFont>
#include <QShortcut>
#include <QSignalBlocker>
#include <QValidator>
#include <cmath>

#include "framework/Constants.h"

namespace morvex::fw::qt {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

class DialogWindow final : public QDialog {
  public:
    DialogWindow(QtDialogPeer& peer, QWidget* parent) : QDialog(parent), m_peer(peer) {}

    // Escape and the close box come here; the program decides whether the dialog ends.
    void reject() override { m_peer.Host().HostCommand(IDCANCEL, BN_CLICKED); }

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        event->accept();
        m_peer.Host().HostContextMenu();
    }

  private:
    QtDialogPeer& m_peer;
};

namespace {

const char* const kRawTextProperty = "morvexText";

// Upper case and length limit of an edit. Unlike QLineEdit::setMaxLength, a limit refuses
// further typing but keeps a longer text already there, so a too-long value still reaches
// the length check instead of being cut silently.
class EditValidator final : public QValidator {
  public:
    EditValidator(bool upperCase, QLineEdit* edit) : QValidator(edit), m_upperCase(upperCase) {
        // The edit's text has already changed when validate() runs; remember the last
        // accepted length to tell growing from shrinking.
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_acceptedLength = text.size(); });
    }

    void SetLimit(int limit) { m_limit = limit; }

    State validate(QString& input, int&) const override {
        if (m_upperCase) {
            input = input.toUpper();
        }
        if (m_limit > 0 && input.size() > m_limit && input.size() > m_acceptedLength) {
            return Invalid;
        }
        return Acceptable;
    }

  private:
    bool m_upperCase;
    int m_limit = 0;
    qsizetype m_acceptedLength = 0;
};

// A single-selection list box as the platform list box behaves: a click or a key always
// selects exactly one item; nothing a user does leaves it without a selection.
class ListBoxWidget final : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent*) const override {
        if (!index.isValid()) {
            return QItemSelectionModel::NoUpdate;
        }
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
};

bool Has(std::uint32_t style, std::uint32_t flag) {
    return (style & flag) != 0;
}

// The text of a label whose mnemonic has no control to go to: the '&' markers removed.
QString WithoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::pushButton:
        case ControlKind::defPushButton:
        case ControlKind::autoCheckBox:
        case ControlKind::edit:
        case ControlKind::listBox:
        case ControlKind::dropDownList:
            return true;
        case ControlKind::label:
        case ControlKind::icon:
        case ControlKind::groupBox:
            break;
    }
    return false;
}

int RoundedScale(int value, int numerator, int denominator) {
    // As the platform's MulDiv: rounded to the nearest, halves away from zero.
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

// The font's height as the platform measures it for dialog units: the face's Windows ascent
// and descent (OS/2 usWinAscent, usWinDescent), each scaled and rounded. FreeType's
// metrics may follow the typographic ascent instead, which makes the same face shorter
// and every dialog squat. Falls back to Qt's height when the face has no such table.
int FontCellHeight(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    constexpr qsizetype kWinDescentEnd = 78;
    if (os2.size() < kWinDescentEnd || raw.unitsPerEm() <= 0) {
        return QFontMetrics(font).height();
    }
    auto u16 = [&os2](qsizetype at) {
        return (static_cast<unsigned char>(os2[at]) << 8) | static_cast<unsigned char>(os2[at + 1]);
    };
    const double scale = raw.pixelSize() / raw.unitsPerEm();
    return static_cast<int>(std::lround(u16(74) * scale) + std::lround(u16(76) * scale));
}

}  // namespace

QFont DialogFont(std::string_view family, int pointSize, int weight) {
    const QString name = ToQString(family);
    auto known = [&name] { return QFontDatabase::families().contains(name, Qt::CaseInsensitive); };
    if (!known()) {
        // Debian's fonts-wine ships faces under the Windows names.
        const QString file = QStringLiteral("/usr/share/wine/fonts/") + name.toLower() + ".ttf";
        if (QFile::exists(file)) {
            QFontDatabase::addApplicationFont(file);
        }
    }
    QFont font = known() ? QFont(name) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QIcon ToQIcon(IconHandle icon) {
    QIcon result;
    if (icon == nullptr) {
        return result;
    }
    for (const IconImage& image : icon->images) {
        QImage pixels(image.size, image.size, QImage::Format_ARGB32);
        for (int y = 0; y < image.size; ++y) {
            const std::string_view row =
                y < static_cast<int>(image.rows.size()) ? image.rows[y] : std::string_view{};
            for (int x = 0; x < image.size; ++x) {
                const char c = x < static_cast<int>(row.size()) ? row[x] : '.';
                QRgb rgb = 0;  // transparent
                const int index = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
                if (index >= 0) {
                    rgb = 0xFF000000u | icon->palette[static_cast<std::size_t>(index)];
                }
                pixels.setPixel(x, y, rgb);
            }
        }
        result.addPixmap(QPixmap::fromImage(pixels));
    }
    return result;
}

QtDialogPeer::QtDialogPeer(DialogHost& host, const DialogTemplate& dialog, QtDialogPeer* owner)
    : m_host(host), m_template(dialog), m_owner(owner != nullptr ? owner->Window() : nullptr) {}

QtDialogPeer::~QtDialogPeer() = default;

QDialog* QtDialogPeer::Window() const {
    return m_window.get();
}

QWidget* QtDialogPeer::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

int QtDialogPeer::ControlId(const QWidget* widget) const {
    for (const auto& [id, control] : m_controls) {
        if (control == widget) {
            return id;
        }
    }
    return 0;
}

std::vector<QWidget*> QtDialogPeer::StaticControls() const {
    std::vector<QWidget*> controls;
    for (const auto& [control, widget] : m_ordered) {
        if (control->id == IDC_STATIC) {
            controls.push_back(widget);
        }
    }
    return controls;
}

PixelRect QtDialogPeer::MapDialogRect(const DluRect& rect) const {
    return {RoundedScale(rect.x, m_baseX, 4), RoundedScale(rect.y, m_baseY, 8),
            RoundedScale(rect.cx, m_baseX, 4), RoundedScale(rect.cy, m_baseY, 8)};
}

void QtDialogPeer::Build() {
    m_window = std::make_unique<DialogWindow>(*this, m_owner.data());
    m_controls.clear();
    m_ordered.clear();

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (Has(m_template.style, DialogStyle::sysMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (Has(m_template.style, DialogStyle::minimizeBox)) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (Has(m_template.style, DialogStyle::maximizeBox)) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    m_window->setWindowFlags(flags);
    m_window->setWindowTitle(ToQString(m_template.title));

    const QFont font =
        DialogFont(m_template.fontName, m_template.fontPointSize, m_template.fontWeight);
    m_window->setFont(font);
    // The platform's dialog base units: the average width of the 52 Latin letters,
    // rounded, and the font's height.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = FontCellHeight(font);

    const PixelRect client = MapDialogRect(m_template.rect);
    m_window->setFixedSize(client.width, client.height);

    for (const ControlTemplate& control : m_template.controls) {
        AddControl(control);
    }
    LinkLabelsAndTabOrder();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), m_window.get());
    help->setContext(Qt::WindowShortcut);
    QObject::connect(help, &QShortcut::activated, m_window.get(), [this] { m_host.HostHelpKey(); });
}

void QtDialogPeer::AddControl(const ControlTemplate& control) {
    QWidget* const parent = m_window.get();
    const QString text = ToQString(control.text);
    const int id = control.id;
    QWidget* widget = nullptr;
    PixelRect rect = MapDialogRect(control.rect);

    switch (control.kind) {
        case ControlKind::pushButton:
        case ControlKind::defPushButton: {
            auto* button = new QPushButton(text, parent);
            // As on the platform: the focused push button is the one Enter clicks.
            button->setAutoDefault(true);
            button->setDefault(control.kind == ControlKind::defPushButton);
            QObject::connect(button, &QPushButton::clicked, parent,
                             [this, id] { m_host.HostCommand(id, BN_CLICKED); });
            widget = button;
            break;
        }
        case ControlKind::autoCheckBox: {
            auto* check = new QCheckBox(text, parent);
            QObject::connect(check, &QCheckBox::clicked, parent,
                             [this, id] { m_host.HostCommand(id, BN_CLICKED); });
            widget = check;
            break;
        }
        case ControlKind::label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setText(text);
            label->setProperty(kRawTextProperty, text);
            const bool centred = Has(control.style, ControlStyle::centerVertically);
            label->setAlignment(Qt::AlignLeft | (centred ? Qt::AlignVCenter : Qt::AlignTop));
            label->setWordWrap(!centred);
            widget = label;
            break;
        }
        case ControlKind::icon: {
            auto* label = new QLabel(parent);
            // A static icon takes the icon's own size, whatever the template says.
            rect.width = rect.height = 32;
            label->setPixmap(ToQIcon(control.icon).pixmap(rect.width, rect.height));
            widget = label;
            break;
        }
        case ControlKind::groupBox: {
            widget = new QGroupBox(text, parent);
            break;
        }
        case ControlKind::edit: {
            auto* edit = new QLineEdit(parent);
            edit->setValidator(
                new EditValidator(Has(control.style, ControlStyle::upperCase), edit));
            edit->setFrame(Has(control.style, ControlStyle::border));
            if (Has(control.style, ControlStyle::readOnly)) {
                edit->setReadOnly(true);
                // Read-only edits wear the dialog's colour, as on the platform.
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::Window));
                edit->setPalette(palette);
            }
            widget = edit;
            break;
        }
        case ControlKind::listBox: {
            auto* list = new ListBoxWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setUniformItemSizes(true);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setVerticalScrollBarPolicy(Has(control.style, ControlStyle::vScroll)
                                                 ? Qt::ScrollBarAsNeeded
                                                 : Qt::ScrollBarAlwaysOff);
            if (!Has(control.style, ControlStyle::border)) {
                list->setFrameShape(QFrame::NoFrame);
            }
            list->setSortingEnabled(Has(control.style, ControlStyle::sorted));
            if (Has(control.style, ControlStyle::notify)) {
                QObject::connect(list, &QListWidget::itemSelectionChanged, parent,
                                 [this, id] { m_host.HostCommand(id, LBN_SELCHANGE); });
            }
            widget = list;
            break;
        }
        case ControlKind::dropDownList: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(false);
            for (const std::string_view item : control.initialItems) {
                combo->addItem(ToQString(item));
            }
            combo->setCurrentIndex(-1);
            // The template's height is that of the opened list; the closed box is as high
            // as its font needs.
            const int dropped = rect.height;
            rect.height = combo->sizeHint().height();
            const int rowHeight = QFontMetrics(combo->font()).height() + 2;
            combo->setMaxVisibleItems(std::max(1, (dropped - rect.height) / rowHeight));
            widget = combo;
            break;
        }
    }

    if (TakesFocus(control.kind)) {
        widget->setFocusPolicy(Has(control.style, ControlStyle::tabStop) ? Qt::StrongFocus
                                                                         : Qt::ClickFocus);
    } else {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    if (Has(control.style, ControlStyle::disabled)) {
        widget->setEnabled(false);
    }
    widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    if (id != IDC_STATIC) {
        m_controls.emplace(id, widget);
    }
    m_ordered.emplace_back(&control, widget);
}

void QtDialogPeer::LinkLabelsAndTabOrder() {
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < m_ordered.size(); ++i) {
        const auto [control, widget] = m_ordered[i];
        if (control->kind == ControlKind::label && !Has(control->style, ControlStyle::noPrefix)) {
            // A label's mnemonic moves the focus to the next control that takes it.
            auto* label = static_cast<QLabel*>(widget);
            QWidget* buddy = nullptr;
            for (std::size_t j = i + 1; j < m_ordered.size() && buddy == nullptr; ++j) {
                if (TakesFocus(m_ordered[j].first->kind)) {
                    buddy = m_ordered[j].second;
                }
            }
            if (buddy != nullptr) {
                label->setBuddy(buddy);
            } else {
                label->setText(WithoutMnemonic(label->text()));
            }
        }
        if (TakesFocus(control->kind)) {
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
}

int QtDialogPeer::RunModal() {
    Build();
    m_running = true;
    m_ended = false;
    m_result = 0;
    if (m_host.HostInitDialog()) {
        for (const auto& [control, widget] : m_ordered) {
            if (Has(control->style, ControlStyle::tabStop) && TakesFocus(control->kind) &&
                widget->isEnabled()) {
                widget->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    if (!m_ended) {
        m_window->exec();
    }
    m_running = false;
    return m_result;
}

void QtDialogPeer::EndModal(int result) {
    m_ended = true;
    m_result = result;
    if (m_window != nullptr && m_window->isVisible()) {
        m_window->done(result);
    }
}

bool QtDialogPeer::IsRunning() const {
    return m_running && !m_ended;
}

void QtDialogPeer::SetTitle(std::string_view title) {
    if (m_window != nullptr) {
        m_window->setWindowTitle(ToQString(title));
    }
}

std::string QtDialogPeer::Title() const {
    return m_window != nullptr ? ToUtf8(m_window->windowTitle()) : std::string{};
}

void QtDialogPeer::SetIcon(IconHandle icon, bool) {
    // One icon with every image it has; the window system picks the size it shows.
    if (m_window != nullptr) {
        m_window->setWindowIcon(ToQIcon(icon));
    }
}

bool QtDialogPeer::AppendSystemMenu(const MenuItem&) {
    // The window manager owns the window menu; Qt gives programs no way into it.
    return false;
}

bool QtDialogPeer::IsIconic() const {
    return m_window != nullptr && m_window->isMinimized();
}

std::pair<int, int> QtDialogPeer::ClientSize() const {
    return m_window != nullptr ? std::pair{m_window->width(), m_window->height()} : std::pair{0, 0};
}

void QtDialogPeer::DrawIconicIcon(IconHandle, int, int) {
    // Window managers draw minimized windows themselves.
}

std::pair<int, int> QtDialogPeer::SystemIconSize() const {
    return {32, 32};
}

bool QtDialogPeer::HasControl(int id) const {
    return Control(id) != nullptr;
}

std::string QtDialogPeer::GetText(int id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return ToUtf8(edit->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return ToUtf8(label->property(kRawTextProperty).toString());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return ToUtf8(button->text());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return ToUtf8(combo->currentText());
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return ToUtf8(group->title());
    }
    return {};
}

void QtDialogPeer::SetText(int id, std::string_view text) {
    QWidget* widget = Control(id);
    const QString value = ToQString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setProperty(kRawTextProperty, value);
        label->setText(label->buddy() != nullptr ? value : WithoutMnemonic(value));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    }
}

void QtDialogPeer::Enable(int id, bool enable) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enable);
    }
}

bool QtDialogPeer::IsEnabled(int id) const {
    QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabled();
}

void QtDialogPeer::SetFocus(int id) {
    if (QWidget* widget = Control(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

int QtDialogPeer::FocusedControl() const {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (widget == m_window.get()) {
            break;
        }
        if (const int id = ControlId(widget); id != 0) {
            return id;
        }
    }
    return 0;
}

void QtDialogPeer::SetLimitText(int id, int maxChars) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        if (auto* validator =
                dynamic_cast<EditValidator*>(const_cast<QValidator*>(edit->validator()))) {
            validator->SetLimit(maxChars);
        }
    }
}

void QtDialogPeer::SetSel(int id, int start, int end) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        const int length = static_cast<int>(edit->text().size());
        const int to = end < 0 || end > length ? length : end;
        const int from = std::clamp(start, 0, to);
        edit->setSelection(from, to - from);
    }
}

std::pair<int, int> QtDialogPeer::GetSel(int id) const {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        if (edit->hasSelectedText()) {
            const int start = edit->selectionStart();
            return {start, start + edit->selectionLength()};
        }
        return {edit->cursorPosition(), edit->cursorPosition()};
    }
    return {0, 0};
}

int QtDialogPeer::GetCheck(int id) const {
    auto* check = qobject_cast<QAbstractButton*>(Control(id));
    return check != nullptr && check->isChecked() ? 1 : 0;
}

void QtDialogPeer::SetCheck(int id, int state) {
    if (auto* check = qobject_cast<QCheckBox*>(Control(id))) {
        const QSignalBlocker quiet(check);
        check->setChecked(state != 0);
    }
}

int QtDialogPeer::GetCount(int id) const {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        return list->count();
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return combo->count();
    }
    return 0;
}

int QtDialogPeer::InsertString(int id, int index, std::string_view text) {
    QWidget* widget = Control(id);
    const int count = GetCount(id);
    if (index > count || index < -1) {
        return LB_ERR;
    }
    const int at = index == -1 ? count : index;
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QSignalBlocker quiet(list);
        list->insertItem(at, ToQString(text));
        return at;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker quiet(combo);
        combo->insertItem(at, ToQString(text));
        return at;
    }
    return LB_ERR;
}

int QtDialogPeer::DeleteString(int id, int index) {
    QWidget* widget = Control(id);
    if (index < 0 || index >= GetCount(id)) {
        return LB_ERR;
    }
    const bool wasSelected = GetCurSel(id) == index;
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(index);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker quiet(combo);
        combo->removeItem(index);
    }
    if (wasSelected) {
        SetCurSel(id, -1);
    }
    return GetCount(id);
}

void QtDialogPeer::ResetContent(int id) {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QSignalBlocker quiet(list);
        list->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker quiet(combo);
        combo->clear();
    }
}

std::string QtDialogPeer::GetItemText(int id, int index) const {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QListWidgetItem* item = list->item(index);
        return item != nullptr ? ToUtf8(item->text()) : std::string{};
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return index >= 0 && index < combo->count() ? ToUtf8(combo->itemText(index))
                                                    : std::string{};
    }
    return {};
}

std::intptr_t QtDialogPeer::GetItemData(int id, int index) const {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QListWidgetItem* item = list->item(index);
        return item != nullptr ? static_cast<std::intptr_t>(item->data(Qt::UserRole).toLongLong())
                               : LB_ERR;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return index >= 0 && index < combo->count()
                   ? static_cast<std::intptr_t>(combo->itemData(index).toLongLong())
                   : CB_ERR;
    }
    return LB_ERR;
}

int QtDialogPeer::SetItemData(int id, int index, std::intptr_t data) {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QListWidgetItem* item = list->item(index);
        if (item == nullptr) {
            return LB_ERR;
        }
        const QSignalBlocker quiet(list);
        item->setData(Qt::UserRole, static_cast<qlonglong>(data));
        return 0;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (index < 0 || index >= combo->count()) {
            return CB_ERR;
        }
        combo->setItemData(index, static_cast<qlonglong>(data));
        return 0;
    }
    return LB_ERR;
}

int QtDialogPeer::GetCurSel(int id) const {
    QWidget* widget = Control(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.size() == 1 ? list->row(selected.front()) : LB_ERR;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return combo->currentIndex();
    }
    return LB_ERR;
}

int QtDialogPeer::SetCurSel(int id, int index) {
    QWidget* widget = Control(id);
    const bool valid = index >= 0 && index < GetCount(id);
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const QSignalBlocker quiet(list);
        if (valid) {
            list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
            list->scrollToItem(list->item(index));
        } else {
            list->clearSelection();
            list->setCurrentRow(-1, QItemSelectionModel::Clear);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(valid ? index : -1);
    } else {
        return LB_ERR;
    }
    return valid ? index : LB_ERR;
}

}  // namespace morvex::fw::qt
