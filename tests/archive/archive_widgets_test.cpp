// The confirmation and archive dialogs in their Qt windows, offscreen: titles, focus, tab
// order, keys, mouse clicks and geometry, which only the widgets have.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include "archive_dialog.h"
#include "code_page_1250.h"
#include "confirm_dialog.h"
#include "cp1250_literal.h"
#include "fake_desktop.h"
#include "main_harness.h"
#include "qt_dialog_window.h"
#include "window_timers.h"

namespace {

// The tab-stop controls from `first` on, in the order Tab visits them.
QStringList tabOrder(QWidget* first) {
    QStringList ids;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && w->isVisible()) {
            ids << w->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != first);
    return ids;
}

template <class T>
T* control(const QtDialogWindow& window, int id) {
    return window.findChild<T*>(QString::number(id));
}

class ConfirmDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.text = "Chci smazat VŠECHNY klíče z ZYL"_cp;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QCheckBox* tickBox() const { return control<QCheckBox>(window, ConfirmDialog::kTickBox); }
    QPushButton* okButton() const { return control<QPushButton>(window, ConfirmDialog::kOkButton); }
    QPushButton* cancelButton() const { return control<QPushButton>(window, ConfirmDialog::kCancelButton); }

    ConfirmDialog dialog;
    QtDialogWindow window{dialog};
};

TEST_F(ConfirmDialogTest, OpensUntickedWithOkDisabledAndFocusOnCancel) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZYL key"));
    EXPECT_EQ(tickBox()->text(), QStringLiteral("Chci smazat VŠECHNY klíče z ZYL"));
    EXPECT_FALSE(tickBox()->isChecked());
    EXPECT_EQ(dialog.ticked, 0);
    EXPECT_FALSE(okButton()->isEnabled());
    EXPECT_EQ(window.focusWidget(), cancelButton());
    EXPECT_EQ(tabOrder(cancelButton()), (QStringList{QStringLiteral("2"), QStringLiteral("1041")}));
}

TEST_F(ConfirmDialogTest, EnterRightAfterOpeningDoesNotConfirm) {
    QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    EXPECT_NE(window.result(), Dialog::kOk);
    QTest::keyClick(&window, Qt::Key_Enter);
    EXPECT_NE(window.result(), Dialog::kOk);
}

TEST_F(ConfirmDialogTest, EachClickOnTheBoxTogglesOk) {
    QTest::mouseClick(tickBox(), Qt::LeftButton);
    EXPECT_TRUE(okButton()->isEnabled());
    QTest::mouseClick(tickBox(), Qt::LeftButton);
    EXPECT_FALSE(okButton()->isEnabled());
    EXPECT_EQ(dialog.ticked, 0);
    QTest::mouseClick(tickBox(), Qt::LeftButton);
    EXPECT_TRUE(okButton()->isEnabled());
    EXPECT_EQ(dialog.ticked, 1);
    EXPECT_TRUE(tickBox()->isChecked());

    QTest::mouseClick(okButton(), Qt::LeftButton);
    EXPECT_EQ(window.result(), Dialog::kOk);
}

TEST_F(ConfirmDialogTest, CloseBoxAfterTickingRefuses) {
    tickBox()->click();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), Dialog::kCancel);
}

TEST_F(ConfirmDialogTest, LongSentenceStaysOnOneLineAndTheDialogKeepsItsSize) {
    const std::string sentence = [] {
        std::string s;
        for (int i = 0; i < 5; ++i) {
            s += "Chci smazat VŠECHNY klíče z ZYL a "_cp;
        }
        return s;
    }();
    ConfirmDialog other;
    other.text = sentence;
    QtDialogWindow otherWindow(other);
    otherWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&otherWindow));
    QCheckBox* box = control<QCheckBox>(otherWindow, ConfirmDialog::kTickBox);
    QCheckBox oneWord(QStringLiteral("Chci"));
    oneWord.setFont(box->font());

    // Whole, not cut or broken into lines.
    EXPECT_EQ(box->text(), QString::fromStdString(cp1250ToUtf8(sentence)));
    EXPECT_EQ(box->sizeHint().height(), oneWord.sizeHint().height());  // one line
    EXPECT_GT(box->sizeHint().width(), box->width());                  // clipped by the box
    EXPECT_EQ(box->geometry(), tickBox()->geometry());
    EXPECT_EQ(otherWindow.size(), window.size());
}

// The archive in its window over the main window on a simulated unit at COM 3.
class ArchiveWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.port.open(3);
        desktop.modalHandler = [this](QDialog& d) {
            auto& confirm = dynamic_cast<ConfirmDialog&>(dynamic_cast<QtDialogWindow&>(d).dialog());
            confirmations << QString::fromStdString(cp1250ToUtf8(confirm.text));
            return static_cast<int>(Dialog::kCancel);
        };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QPushButton* button(int id) const { return control<QPushButton>(window, id); }

    FakeDesktop desktop;  // the archive's own boxes and runs, in Qt
    MainHarness h;
    ArchiveDialog dialog{h.dialog};
    QtDialogWindow window{dialog};
    QStringList confirmations;
};

TEST_F(ArchiveWidgetTest, OpensWithAllButtonsEnabledAndFocusOnBack) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZYL key - Archiv"));
    for (int id : {1036, 1038, 1041, 1040, 1039, 2}) {
        EXPECT_TRUE(button(id)->isEnabled()) << id;
    }
    EXPECT_EQ(window.focusWidget(), button(ArchiveDialog::kBackButton));
    EXPECT_EQ(button(ArchiveDialog::kBackButton)->text(), QStringLiteral("Zpět"));
    EXPECT_EQ(tabOrder(button(ArchiveDialog::kBackButton)),
              (QStringList{QStringLiteral("2"), QStringLiteral("1036"), QStringLiteral("1038"),
                           QStringLiteral("1039"), QStringLiteral("1040"), QStringLiteral("1041")}));
    const QList<QGroupBox*> groups = window.findChildren<QGroupBox*>();
    EXPECT_EQ(groups.size(), 2);
    for (auto* group : groups) {
        EXPECT_EQ(group->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(ArchiveWidgetTest, ButtonsInsideTheFramesTakeClicks) {
    QTest::mouseClick(button(ArchiveDialog::kEraseLogsButton), Qt::LeftButton);
    QTest::mouseClick(button(ArchiveDialog::kEraseKeysButton), Qt::LeftButton);
    QTest::mouseClick(button(ArchiveDialog::kCopyToUnitButton), Qt::LeftButton);
    EXPECT_EQ(confirmations, (QStringList{QStringLiteral("Chci smazat VŠECHNY logy z ZYL"),
                                          QStringLiteral("Chci smazat VŠECHNY klíče z ZYL"),
                                          QStringLiteral("Chci přepsat VŠECHNY klíče ve ZYL")}));
}

TEST_F(ArchiveWidgetTest, EscapeClosesAndStopsTheKeepAlive) {
    ASSERT_EQ(window.timers().activeId(), ArchiveDialog::kKeepAliveTimer);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), Dialog::kCancel);
    EXPECT_EQ(window.timers().activeId(), 0);
}

}  // namespace
