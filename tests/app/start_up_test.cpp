// The program's start-up as ZylApp makes it: Qt's own texts in Czech whatever the system's
// language (ctest runs these under LANG=C), and the About item in the log box's menu.

#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QContextMenuEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "about_dialog.h"
#include "cp1250_literal.h"
#include "fake_desktop.h"
#include "main_dialog.h"
#include "qt_main_window.h"
#include "simulated_port.h"
#include "start_up_environment.h"

namespace {

// An action's text without its shortcut ("&Kopírovat\tCtrl+C"); "-" for a separator.
QStringList textsOf(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-")
                                        : action->text().section(QLatin1Char('\t'), 0, 0));
    }
    return texts;
}

class CzechTexts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            czech.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            << "Qt's Czech texts are missing (Debian package qt6-translations-l10n)";
    }

    // Qt's Czech for an English text, as the translation file has it; never the English.
    QString cs(const char* context, const char* english) {
        const QString text = czech.translate(context, english);
        EXPECT_FALSE(text.isEmpty()) << context << " " << english;
        EXPECT_NE(text, QString::fromLatin1(english)) << context;
        return text;
    }

    QTranslator czech;
};

TEST_F(CzechTexts, LogBoxMenuIsQtsCzechMenuThenTheAboutItem) {
    FakeDesktop desktop;
    SimulatedPort port;
    QtMainWindow main(port);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main.window));
    main.dialog.logLine("Hledám ZYL..."_cp);

    QStringList shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        poll.stop();
        shown = textsOf(*menu);
        menu->actions().back()->trigger();  // the last item: About
        menu->close();
    });
    poll.start(10);
    QWidget* viewport = main.window.findChild<QPlainTextEdit*>(QStringLiteral("1009"))->viewport();
    const QPoint at(20, 20);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &click);

    EXPECT_TRUE(shown.contains(cs("QWidgetTextControl", "&Copy")))
        << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(shown.contains(cs("QWidgetTextControl", "Select All")))
        << shown.join(QLatin1Char('|')).toStdString();
    ASSERT_GE(shown.size(), 3);
    EXPECT_EQ(shown.mid(shown.size() - 2),
              (QStringList{QStringLiteral("-"), QStringLiteral("&About ZYL default...")}));
    EXPECT_EQ(desktop.modalRuns, 1);  // the About box, run from the item
}

TEST_F(CzechTexts, CodeFieldMenuAndYesNoAreCzech) {
    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    const QStringList shown = textsOf(*menu);
    for (const char* english : {"&Undo", "&Copy", "&Paste", "Select All"}) {
        EXPECT_TRUE(shown.contains(cs("QLineEdit", english)))
            << english << ": " << shown.join(QLatin1Char('|')).toStdString();
    }

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().toStdString(), cs("QPlatformTheme", "&Yes").toStdString());
    EXPECT_EQ(box.button(QMessageBox::No)->text().toStdString(), cs("QPlatformTheme", "&No").toStdString());
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartUpEnvironment::instance = new StartUpEnvironment(argc, argv);
    testing::AddGlobalTestEnvironment(StartUpEnvironment::instance);
    return RUN_ALL_TESTS();
}
