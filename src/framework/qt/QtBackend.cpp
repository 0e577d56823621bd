// The Qt 6 Widgets backend: the application object, message boxes, the open-file dialog,
// popup menus, the help viewer through the desktop.
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "framework/Constants.h"
#include "framework/qt/QtDialogPeer.h"

namespace morvex::fw {
namespace qt {
namespace {

QWidget* OwnerWindow(DialogPeer* owner) {
    auto* peer = dynamic_cast<QtDialogPeer*>(owner);
    return peer != nullptr ? peer->Window() : nullptr;
}

// Yes/No boxes have no cancel: Escape does nothing, as on the platform, so that no key
// answers a question by accident.
class IgnoreEscape final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The platform's wildcards: "*.*" matches every name, with or without a dot.
QString QtPatterns(const std::string& patterns) {
    QStringList out;
    for (const QString& pattern : ToQString(patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        out << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return out.join(QLatin1Char(' '));
}

class QtBackend final : public Backend {
  public:
    QtBackend(int& argc, char** argv) {
        if (QApplication::instance() == nullptr) {
            m_application = std::make_unique<QApplication>(argc, argv);
        }
    }

    std::unique_ptr<DialogPeer> CreateDialogPeer(DialogHost& host, const DialogTemplate& dialog,
                                                 DialogPeer* owner) override {
        return std::make_unique<QtDialogPeer>(host, dialog, dynamic_cast<QtDialogPeer*>(owner));
    }

    int MessageBox(const MessageBoxRequest& request) override {
        QMessageBox box(OwnerWindow(request.owner));
        box.setWindowTitle(ToQString(request.caption));
        box.setTextFormat(Qt::PlainText);
        box.setText(ToQString(request.text));
        switch (request.type & MB_ICONMASK) {
            case MB_ICONEXCLAMATION:
                box.setIcon(QMessageBox::Warning);
                break;
            case MB_ICONQUESTION:
                box.setIcon(QMessageBox::Question);
                break;
            default:
                box.setIcon(QMessageBox::NoIcon);
                break;
        }
        const bool yesNo = (request.type & MB_TYPEMASK) == MB_YESNO;
        IgnoreEscape ignoreEscape;
        if (yesNo) {
            QPushButton* yes = box.addButton(QMessageBox::Yes);
            box.addButton(QMessageBox::No);
            box.setDefaultButton(yes);
            box.installEventFilter(&ignoreEscape);
        } else {
            box.setDefaultButton(box.addButton(QMessageBox::Ok));
        }
        box.exec();
        if (!yesNo) {
            return IDOK;
        }
        // Closed by the window manager's close box: the harmless answer.
        return box.clickedButton() == box.button(QMessageBox::Yes) ? IDYES : IDNO;
    }

    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override {
        QFileDialog dialog(OwnerWindow(request.owner), ToQString(request.title));
        // Qt's own dialog on every desktop, so that the read-only option can be offered.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                                    : QFileDialog::AnyFile);
        // Each filter shows its description as written; the patterns Qt matches with are
        // appended and hidden, and matched without regard to case, as on the platform.
        QStringList filters;
        for (const FileFilter& filter : request.filters) {
            filters << ToQString(filter.description) + QStringLiteral(" (") +
                           QtPatterns(filter.patterns) + QLatin1Char(')');
        }
        dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        dialog.setDefaultSuffix(ToQString(request.defaultExtension));
        if (!request.initialName.empty()) {
            dialog.selectFile(ToQString(request.initialName));
        }
        QCheckBox* readOnly = nullptr;
        if ((request.flags & OFN_HIDEREADONLY) == 0) {
            if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
                readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dialog);
                grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
            }
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        FileDialogResult result;
        result.path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
        result.readOnly = readOnly != nullptr && readOnly->isChecked();
        return result;
    }

    unsigned TrackMenu(const MenuRequest& request) override {
        QMenu menu(OwnerWindow(request.owner));
        for (const MenuItem& item : request.items) {
            if ((item.flags & MF_SEPARATOR) != 0) {
                menu.addSeparator();
            } else {
                menu.addAction(ToQString(item.text))->setData(item.id);
            }
        }
        const QAction* chosen = menu.exec(QCursor::pos());
        return chosen != nullptr ? chosen->data().toUInt() : 0;
    }

    bool OpenHelp(const std::string& file, unsigned context) override {
        QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file)));
        url.setFragment(QString::fromStdString(HelpAnchor(context)));
        return QDesktopServices::openUrl(url);
    }

    std::string ExecutablePath() const override {
        return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    }

    void Post(std::function<void()> task) override {
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(task));
    }

  private:
    std::unique_ptr<QApplication> m_application;
};

}  // namespace
}  // namespace qt

std::unique_ptr<Backend> CreateBackend(int& argc, char** argv) {
    return std::make_unique<qt::QtBackend>(argc, argv);
}

}  // namespace morvex::fw
