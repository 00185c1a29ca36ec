// The confirmation and archive dialogs as widgets, offscreen.

#include <QCheckBox>
#include <QGroupBox>
#include <QTest>

#include "archive_fixture.h"

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

class ConfirmDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.text = QStringLiteral("Chci smazat VŠECHNY klíče z ZYL");
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    ConfirmDialog dialog;
};

TEST_F(ConfirmDialogTest, OpensUntickedWithOkDisabledAndFocusOnCancel) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ZYL key"));
    EXPECT_EQ(dialog.tickBox()->text(), QStringLiteral("Chci smazat VŠECHNY klíče z ZYL"));
    EXPECT_FALSE(dialog.tickBox()->isChecked());
    EXPECT_EQ(dialog.ticked, 0);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.focusWidget(), dialog.cancelButton());
    EXPECT_EQ(tabOrder(dialog.cancelButton()), (QStringList{QStringLiteral("2"), QStringLiteral("1041")}));
}

TEST_F(ConfirmDialogTest, EnterRightAfterOpeningDoesNotConfirm) {
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(ConfirmDialogTest, EachClickOnTheBoxTogglesOk) {
    QTest::mouseClick(dialog.tickBox(), Qt::LeftButton);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    QTest::mouseClick(dialog.tickBox(), Qt::LeftButton);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.ticked, 0);
    QTest::mouseClick(dialog.tickBox(), Qt::LeftButton);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.ticked, 1);
    EXPECT_TRUE(dialog.tickBox()->isChecked());

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ConfirmDialogTest, CloseBoxAfterTickingRefuses) {
    dialog.tickBox()->click();
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ConfirmDialogTest, LongSentenceStaysOnOneLineAndTheDialogKeepsItsSize) {
    const QString sentence = QStringLiteral("Chci smazat VŠECHNY klíče z ZYL a ").repeated(5);
    ConfirmDialog other;
    other.text = sentence;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QCheckBox oneWord(QStringLiteral("Chci"));
    oneWord.setFont(other.tickBox()->font());

    EXPECT_EQ(other.tickBox()->text(), sentence);  // whole, not cut or broken into lines
    EXPECT_EQ(other.tickBox()->sizeHint().height(), oneWord.sizeHint().height());  // one line
    EXPECT_GT(other.tickBox()->sizeHint().width(), other.tickBox()->width());      // clipped by the box
    EXPECT_EQ(other.tickBox()->geometry(), dialog.tickBox()->geometry());
    EXPECT_EQ(other.size(), dialog.size());
}

class ArchiveWidgetTest : public ArchiveFixture {};

TEST_F(ArchiveWidgetTest, OpensWithAllButtonsEnabledAndFocusOnBack) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ZYL key - Archiv"));
    EXPECT_EQ(buttonState(*dialog), kAllEnabled);
    EXPECT_EQ(dialog->focusWidget(), dialog->button(ArchiveDialog::kBackButton));
    EXPECT_EQ(dialog->button(ArchiveDialog::kBackButton)->text(), QStringLiteral("Zpět"));
    EXPECT_EQ(tabOrder(dialog->button(ArchiveDialog::kBackButton)),
              (QStringList{QStringLiteral("2"), QStringLiteral("1036"), QStringLiteral("1038"),
                           QStringLiteral("1039"), QStringLiteral("1040"), QStringLiteral("1041")}));
    for (auto* group : dialog->findChildren<QGroupBox*>()) {
        EXPECT_EQ(group->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(ArchiveWidgetTest, ButtonsInsideTheFramesTakeClicks) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    confirmAnswer = false;
    QTest::mouseClick(dialog->button(ArchiveDialog::kEraseLogsButton), Qt::LeftButton);
    QTest::mouseClick(dialog->button(ArchiveDialog::kEraseKeysButton), Qt::LeftButton);
    QTest::mouseClick(dialog->button(ArchiveDialog::kCopyToUnitButton), Qt::LeftButton);
    EXPECT_EQ(confirmations, (QStringList{QStringLiteral("Chci smazat VŠECHNY logy z ZYL"),
                                          QStringLiteral("Chci smazat VŠECHNY klíče z ZYL"),
                                          QStringLiteral("Chci přepsat VŠECHNY klíče ve ZYL")}));
}

TEST_F(ArchiveWidgetTest, EscapeClosesAndStopsTheKeepAlive) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(stopped());
}

TEST_F(ArchiveWidgetTest, RefusedKeepAliveLeavesTheDialogOpenWithoutTimer) {
    WindowTimers::setStartPolicy([](int id) { return id != ArchiveDialog::kKeepAliveTimer; });
    ArchiveDialog other(h.dialog);
    other.show();
    EXPECT_TRUE(other.isVisible());
    EXPECT_EQ(other.timers().activeId(), 0);
    EXPECT_EQ(other.timerId, 0);
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Timer error!")});
}

TEST_F(ArchiveWidgetTest, FourButtonStates) {
    dialog->disableButtons();
    EXPECT_EQ(buttonState(*dialog), kAllDisabled);
    dialog->enableAfterFailure();
    EXPECT_EQ(buttonState(*dialog), kAfterFailure);
    dialog->enableButtons();
    EXPECT_EQ(buttonState(*dialog), kAllEnabled);
    dialog->failSettingsStep(306);
    EXPECT_EQ(buttonState(*dialog), kAfterSettingsFailure);
    EXPECT_TRUE(stopped());
}

}  // namespace
