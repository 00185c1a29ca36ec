#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "connect_dialog.h"
#include "event_loop_watch.h"
#include "fake_desktop.h"
#include "main_dialog.h"
#include "pty_unit_server.h"
#include "qt_main_window.h"
#include "scoped_env.h"
#include "serial_port.h"
#include "temp_folder.h"
#include "window_timers.h"

// The unit on a pseudo-terminal registered as COM1 in a port folder of the test's own, the
// program's real serial port and Qt timers, and the means to pull the cable: a hang-up
// fault of the simulated unit, or the test dropping the unit's side of the line itself.
// The program is only ever pointed at COM1, and only while COM1 is the simulated unit, so
// no real serial device of the machine is opened.
class PulledCableTest : public ::testing::Test {
protected:
    static constexpr int kRejoinMs = 1000;
    static constexpr int kEraseMs = 300;
    static constexpr int kIdleWaitMs = 2000;

    void SetUp() override { ASSERT_FALSE(runtimeDir_.path().empty()); }

    void TearDown() override { pullCable(); }

    // Plugs a unit in on COM1; after a hang-up fault it comes back on COM1 by itself.
    void plugIn(std::vector<Fault> faults = {}, int answerDelayMs = 1, int eraseMs = kEraseMs) {
        PtyUnitServer::Options options;
        options.comNumber = 1;
        options.unit.eraseMs = eraseMs;
        options.unit.answerDelayMs = answerDelayMs;
        options.faults = std::move(faults);
        options.rejoinMs = kRejoinMs;
        server_ = std::make_unique<PtyUnitServer>(options);
        ASSERT_TRUE(server_->start()) << server_->error();
        thread_ = std::thread([this] { server_->run(); });
    }

    // The test pulls the cable itself: the unit's side of the line is closed for good.
    void pullCable() {
        if (server_) {
            server_->stop();
            thread_.join();
            server_.reset();
        }
    }

    bool unitOnCom1() const {
        std::error_code ignored;
        return server_ && std::filesystem::is_symlink(server_->linkPath(), ignored);
    }

    // Opens COM1 the way the search leaves a unit it found and logged into.
    void connectDirectly(QtMainWindow& dialog) {
        theSerialPort.open(1);
        ASSERT_EQ(theSerialPort.status(), PortStatus::Ready);
        MainDialogState& s = dialog.state();
        s.portOpen = 1;
        s.comPort = 1;
        s.buttonEnabled = MainDialogState::kConnectedButtons;
        s.linkState = LinkState::Connected;
    }

    // Presses the connect button and answers the connect dialog with the port typed by hand,
    // so that only COM1 is ever tried.
    void pressConnect(QtMainWindow& dialog) {
        desktop_.modalHandler = [](QDialog& d) {
            d.findChild<QCheckBox*>(QString::number(ConnectDialog::kManualPortCheck))->click();
            d.findChild<QLineEdit*>(QString::number(ConnectDialog::kPortEdit))->setText(QStringLiteral("1"));
            d.accept();
            return d.result();
        };
        dialog.button(MainDialog::kConnectButton)->click();
    }

    // Runs the event loop until `done` holds, looking every 10 ms; false after timeoutMs.
    // (QTest::qWaitFor sleeps between its rounds, which would count as the program's gaps.)
    template <typename Done>
    static bool waitFor(Done done, int timeoutMs) {
        const QDeadlineTimer deadline(timeoutMs);
        QEventLoop loop;
        QTimer look;
        look.setInterval(10);
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (done() || deadline.hasExpired()) {
                loop.quit();
            }
        });
        look.start();
        if (!done()) {
            loop.exec();
        }
        return done();
    }

    static void waitMs(int ms) {
        waitFor([] { return false; }, ms);
    }

    // The window's reset has ended: no timer runs and the connect button is enabled.
    static bool idle(QtMainWindow& dialog) {
        return dialog.timers().activeId() == 0 && dialog.button(MainDialog::kConnectButton)->isEnabled();
    }

    // CPU time (user + system) of the whole process, in ms.
    static double cpuMs() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        return ms(usage.ru_utime) + ms(usage.ru_stime);
    }

    // The share of one core the process used while waiting ms with the event loop running.
    static double cpuShareWhileWaiting(int ms) {
        QElapsedTimer wall;
        wall.start();
        const double before = cpuMs();
        waitMs(ms);
        return (cpuMs() - before) / static_cast<double>(wall.elapsed());
    }

    // After a report: the program sits still while the line is dead, and is let go of by
    // the event loop watch first, whose own ticks would count.
    void expectQuietAfterReport(const char* what) {
        watch_.stop();
        const double share = cpuShareWhileWaiting(kIdleWaitMs);
        std::printf("[figures] %s: longest event-loop gap %lld ms, CPU after the report %.1f %%\n", what,
                    static_cast<long long>(watch_.longestGapMs()), share * 100.0);
        EXPECT_LT(watch_.longestGapMs(), 200);
        EXPECT_LT(share, 0.30);
    }

    // A whole factory reset on COM1 once the unit is back: the program connects again.
    void expectResetSucceeds(QtMainWindow& dialog) {
        ASSERT_TRUE(waitFor([this] { return unitOnCom1(); }, 10000)) << "the unit did not come back on COM1";
        desktop_.boxes.clear();
        pressConnect(dialog);
        ASSERT_TRUE(waitFor([&] { return idle(dialog); }, 30000));
        EXPECT_TRUE(dialog.logText().startsWith(QStringLiteral("Tovarni nastavení uloženo\r\n")))
            << dialog.logText().left(300).toStdString();
        EXPECT_TRUE(desktop_.boxes.empty());
    }

    // The buttons of the not-connected state: 1004 alone.
    static void expectOnlyConnectEnabled(QtMainWindow& dialog) {
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            EXPECT_EQ(dialog.button(id)->isEnabled(), id == MainDialog::kConnectButton) << id;
        }
    }

    // A dead link: no timer, every button disabled, the port still held.
    static void expectDead(QtMainWindow& dialog) {
        EXPECT_EQ(dialog.timers().activeId(), 0);
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            EXPECT_FALSE(dialog.button(id)->isEnabled()) << id;
        }
        EXPECT_EQ(dialog.state().portOpen, 1);
    }

    static QString topLine(QtMainWindow& dialog) {
        return dialog.logText().section(QStringLiteral("\r\n"), 0, 0);
    }

    static QString disconnectMessage(int code) {
        return QStringLiteral("Chyba %1 - ZYL odpojeno.").arg(code);
    }
    static QString fatalMessage(int code) {
        return QStringLiteral("Zásadní chyba číslo %1!\r\nProsím vypněte a zapněte ZYL a tento program.")
            .arg(code);
    }

    FakeDesktop desktop_;
    EventLoopWatch watch_;
    // A port folder of the test's own, so that COM1 is the simulated unit and nothing else.
    TempFolder runtimeDir_;
    ScopedEnv runtimeDirVariable_{"XDG_RUNTIME_DIR", runtimeDir_.path().c_str()};
    std::unique_ptr<PtyUnitServer> server_;
    std::thread thread_;
};
