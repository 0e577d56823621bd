// The Qt backend's real prompts, unscripted: the message box, the open-file dialog and the
// popup menu as Qt shows them, answered by key and mouse.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "Resources.h"
#include "framework/Backend.h"
#include "framework/Constants.h"
#include "framework/FileDialog.h"
#include "support/DriverFixture.h"
#include "support/TempDir.h"

namespace morvex::test {
namespace {

using namespace fw;

// Runs `steps` on the modal window Qt shows next, from inside its loop; a window the steps
// leave open (a failed assertion) is closed, so that the test ends.
void OnNextModal(std::function<void(QWidget*)> steps) {
    GetBackend().Post([steps = std::move(steps)] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            modal = QApplication::activePopupWidget();
        }
        ASSERT_NE(modal, nullptr) << "nothing modal is shown";
        steps(modal);
        if (modal != nullptr && modal->isVisible()) {
            ADD_FAILURE() << "the steps left the window open";
            modal->close();
        }
    });
}

QStringList Shown(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (view == nullptr) {
        return names;
    }
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
}

TEST(QtPromptsTest, TheQuestionBoxDefaultsToYesAndIgnoresEscape) {
    OnNextModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "caption");
        EXPECT_EQ(box->text(), "Save settings ?");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->buttons().size(), 2);
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                  box->button(QMessageBox::Yes));
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible()) << "Escape does not answer";
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(GetBackend().MessageBox(
                  {nullptr, "Save settings ?", "caption", MB_ICONQUESTION | MB_YESNO}),
              IDNO);

    OnNextModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(GetBackend().MessageBox(
                  {nullptr, "Save settings ?", "caption", MB_ICONQUESTION | MB_YESNO}),
              IDYES);
}

TEST(QtPromptsTest, MessageBoxIconsFollowTheType) {
    const std::pair<unsigned, QMessageBox::Icon> cases[] = {
        {MB_ICONEXCLAMATION | MB_OK, QMessageBox::Warning},
        {MB_OK, QMessageBox::NoIcon},
    };
    for (const auto& [type, icon] : cases) {
        OnNextModal([icon = icon](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), icon);
            EXPECT_EQ(box->buttons().size(), 1);
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(GetBackend().MessageBox({nullptr, "text", "caption", type}), IDOK);
    }
}

TEST(QtPromptsTest, TheFileDialogShowsTheFiltersAsWrittenAndMatchesRegardlessOfCase) {
    TempDir dir;
    const std::string driver = DriverFixture().write(dir.file("KESTRIN.SYS"));
    DriverFixture().write(dir.file("NOTES"));

    FileDialogRequest request;
    request.title = res::text::kReferTitle;
    request.filters = CFileDialog::ParseFilter(res::text::kReferFilter);
    request.defaultExtension = res::text::kReferExtension;
    request.initialName = driver;
    request.flags = OFN_FILEMUSTEXIST;

    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select location of KESTRIN.SYS");
        EXPECT_EQ(dialog->defaultSuffix(), "sys");
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        ASSERT_EQ(types->count(), 2);
        EXPECT_EQ(types->itemText(0), "KESTRIN Driver Files (kestrin.sys)");
        EXPECT_EQ(types->itemText(1), "All Files (*.*)");
        QCheckBox* readOnly = dialog->findChild<QCheckBox*>();
        ASSERT_NE(readOnly, nullptr) << "the read-only option is offered";

        // The folder is read in the background.
        (void)QTest::qWaitFor([&] { return !Shown(dialog).isEmpty(); });
        EXPECT_EQ(Shown(dialog), QStringList{"KESTRIN.SYS"});
        QTest::keyClick(types, Qt::Key_Down);  // as a user picks the second type
        (void)QTest::qWaitFor([&] { return Shown(dialog).size() > 1; });
        EXPECT_EQ(Shown(dialog), (QStringList{"KESTRIN.SYS", "NOTES"}));

        readOnly->setChecked(true);
        dialog->selectFile(QString::fromStdString(driver));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        QTest::keyClick(name, Qt::Key_Return);
    });

    const auto chosen = GetBackend().FileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, driver);
    EXPECT_TRUE(chosen->readOnly);
}

TEST(QtPromptsTest, CancellingTheFileDialogChoosesNothing) {
    FileDialogRequest request;
    request.title = res::text::kTextOutTitle;
    request.filters = CFileDialog::ParseFilter(res::text::kTextOutFilter);
    request.flags = OFN_HIDEREADONLY;
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QCheckBox*>(), nullptr) << "no read-only option asked for";
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(GetBackend().FileDialog(request).has_value());
}

TEST(QtPromptsTest, ThePopupMenuAnswersTheChosenItem) {
    OnNextModal([](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 2);
        EXPECT_TRUE(actions[0]->isSeparator());
        EXPECT_EQ(actions[1]->text(), "&About...");
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(actions[1]).center());
    });
    MenuRequest request;
    request.items = {{MF_SEPARATOR, 0, ""}, {MF_STRING, res::IDM_ABOUTBOX, "&About..."}};
    EXPECT_EQ(GetBackend().TrackMenu(request), res::IDM_ABOUTBOX);
}

}  // namespace
}  // namespace morvex::test
