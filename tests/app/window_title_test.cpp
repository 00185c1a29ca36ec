// The captions as the window manager reads them (_NET_WM_NAME, read with xprop) from the
// program's windows on a private Xvfb: exactly the captions of the templates, with nothing
// of Qt's appended; message boxes without a caption of their own show the program's name.

#include <gtest/gtest.h>

#include <functional>

#include <QMessageBox>
#include <QProcess>
#include <QTest>

#include "about_dialog.h"
#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "connect_dialog.h"
#include "desktop.h"
#include "key_dialog.h"
#include "main_dialog.h"
#include "modal_watch.h"
#include "qt_dialog_window.h"
#include "qt_main_window.h"
#include "simulated_port.h"
#include "start_up_environment.h"

namespace {

// The value of xprop's `_NET_WM_NAME = "..."`: its escapes (\", \\ and the octal bytes it
// writes outside a UTF-8 locale) undone, the bytes read as UTF-8.
QString quotedValue(const QByteArray& line) {
    const qsizetype open = line.indexOf('"');
    QByteArray bytes;
    for (qsizetype i = open + 1; open >= 0 && i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\' || i + 1 >= line.size()) {
            bytes += line[i];
        } else if (line[i + 1] >= '0' && line[i + 1] <= '7') {
            bytes += static_cast<char>(line.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            bytes += line[++i];
        }
    }
    return QString::fromUtf8(bytes);
}

// The caption the window manager reads of a window that is on screen.
QString wmName(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window)) {
        return QStringLiteral("(not exposed)");
    }
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(5000) || xprop.exitCode() != 0) {
        ADD_FAILURE() << "xprop failed (Debian package x11-utils): "
                      << xprop.readAllStandardError().toStdString();
        return {};
    }
    return quotedValue(xprop.readAllStandardOutput());
}

// The caption of the message box that show() opens, read while it is open.
QString messageBoxName(const std::function<void()>& show) {
    QString name;
    const ModalWatch<QMessageBox> watch([&](QMessageBox* box) {
        name = wmName(box);
        box->done(0);
    });
    show();
    return name;
}

struct CaptionRow {
    const char* name;
    const char* caption;  // UTF-8
    std::function<QString(QtMainWindow& main)> shownName;

    friend void PrintTo(const CaptionRow& row, std::ostream* os) { *os << row.name; }
};

class WindowTitle : public testing::TestWithParam<CaptionRow> {};

// The caption of a dialog's window, shown above the main window.
QString shownName(Dialog& dialog, QtMainWindow& main) {
    QtDialogWindow window(dialog, &main.window);
    window.show();
    return wmName(&window);
}

TEST_P(WindowTitle, IsTheCaptionAsTheWindowManagerSeesIt) {
    if (const std::string why = StartUpEnvironment::noDisplay(); !why.empty()) {
        GTEST_SKIP() << "no X display for the window manager's view: " << why;
    }
    SimulatedPort port;
    QtMainWindow main(port);
    EXPECT_EQ(GetParam().shownName(main).toStdString(), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowTitle,
    testing::Values(CaptionRow{"MainWindow", "ZYL default - servisní nástroj výrobce ZYL",
                               [](QtMainWindow& main) { return wmName(&main.window); }},
                    CaptionRow{"AboutBox", "ZYL default",
                               [](QtMainWindow& main) {
                                   AboutDialog about;
                                   return shownName(about, main);
                               }},
                    CaptionRow{"ConnectDialog", "ZYL key",
                               [](QtMainWindow& main) {
                                   ConnectDialog dialog;
                                   return shownName(dialog, main);
                               }},
                    CaptionRow{"KeyDialog", "ZYL key - Přidat/upravit klíč",
                               [](QtMainWindow& main) {
                                   KeyDialog dialog(main.dialog);
                                   return shownName(dialog, main);
                               }},
                    CaptionRow{"ArchiveDialog", "ZYL key - Archiv",
                               [](QtMainWindow& main) {
                                   ArchiveDialog dialog(main.dialog);
                                   return shownName(dialog, main);
                               }},
                    CaptionRow{"ConfirmDialog", "ZYL key",
                               [](QtMainWindow&) {
                                   ConfirmDialog dialog;
                                   QtDialogWindow window(dialog);
                                   window.show();
                                   return wmName(&window);
                               }},
                    CaptionRow{"MessageBoxWithoutCaption", "ZYL default",
                               [](QtMainWindow& main) {
                                   return messageBoxName([&] {
                                       Desktop::current().messageBox(&main.window,
                                                                     QStringLiteral("Timer error!"));
                                   });
                               }},
                    CaptionRow{"MessageBoxWithItsCaption", "ZYL - Vymazání klíče",
                               [](QtMainWindow& main) {
                                   return messageBoxName([&] {
                                       Desktop::current().messageBox(
                                           &main.window,
                                           QStringLiteral("Opravdu chcete vymazat klíč s ID 3?"),
                                           QStringLiteral("ZYL - Vymazání klíče"), Desktop::Buttons::YesNo);
                                   });
                               }}),
    [](const testing::TestParamInfo<CaptionRow>& info) { return info.param.name; });

}  // namespace
