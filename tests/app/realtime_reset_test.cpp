// The factory reset in real time: the program's own serial port and Qt timers against the
// simulated unit served on a pseudo-terminal, registered as COM1 in a private port folder.

#include <gtest/gtest.h>

#include <cstdio>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include "fake_desktop.h"
#include "main_dialog.h"
#include "pty_unit.h"
#include "qt_main_window.h"
#include "serial_port.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string hex(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X ", b);
        text += part;
    }
    return text;
}

class RealtimeReset : public ::testing::Test {
protected:
    void startUnit(std::vector<Fault> faults = {}) {
        PtyUnitServer::Options options;
        options.comNumber = 1;
        options.unit.eraseMs = 800;
        options.faults = std::move(faults);
        ASSERT_TRUE(unit_.start(options)) << unit_.error();
    }

    // Presses the connect button, accepts the connect dialog and waits until the window
    // is idle again (no timer, connect enabled).
    qint64 runReset(QtMainWindow& main) {
        desktop_.modalHandler = [](QDialog& d) {
            d.accept();
            return d.result();
        };
        QElapsedTimer clock;
        clock.start();
        main.button(MainDialog::kConnectButton)->click();
        const bool idle = QTest::qWaitFor([&] { return main.idle(); }, 60000);
        EXPECT_TRUE(idle);
        return clock.elapsed();
    }

    static QStringList oldestFirst(const QString& log) {
        QStringList lines = log.split(QStringLiteral("\r\n"));
        lines.pop_back();
        std::reverse(lines.begin(), lines.end());
        return lines;
    }

    FakeDesktop desktop_;
    PtyUnit unit_;
};

TEST_F(RealtimeReset, CompletesAgainstTheUnitOnAPseudoTerminal) {
    startUnit();
    QtMainWindow main(theSerialPort);
    const qint64 ms = runReset(main);

    QStringList log = oldestFirst(main.logText());
    for (QString& line : log) {
        line.remove(QLatin1Char('*'));
    }
    const QStringList expected = {QStringLiteral("Hledám ZYL..."),
                                  QStringLiteral("Nalezen Port COM1"),
                                  QStringLiteral("ZYL nalezen na COM1"),
                                  QStringLiteral("ZYL připojen na COM1."),
                                  QStringLiteral("Název výtahu vymazán"),
                                  QStringLiteral("Nastaven počet znaků komentáře na 50"),
                                  QStringLiteral("Nastaven čas přístupu na 5s"),
                                  QStringLiteral("Nastavena nastavení pro relé"),
                                  QStringLiteral("Nastaven přístupový kód 4827"),
                                  QStringLiteral("Nastaven aktuální čas"),
                                  QString(),
                                  QStringLiteral("Všechny klíce byly smazány"),
                                  QString(),
                                  QStringLiteral("Všechny logy byly smazány"),
                                  QStringLiteral("Tovarni nastavení uloženo")};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(desktop_.boxes.empty());

    // The unit's side takes the last byte off the line in its own time (slowly under a
    // sanitizer and a loaded machine): wait for it in the transcript, within a bound.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !unit_.received().empty() && unit_.received().back() == 0x04; }, 5000));
    unit_.stop();
    const Bytes expectedBytes = {0x04, 0x01, 0xA7, 0x5A, 0x59, 0x4C, 0x07, 0x12, 0xDB, 0x1E, 0xFF, 0x23,
                                 0x41, 0x1F, 0x05, 0x19, 0x00, 0x20, 0x12, 0xDB, 0x24, 26,   12,   7,
                                 10,   30,   15,   0x18, 0x08, 0x11, 0x28, 0x08, 0x13, 0x04};
    const Bytes received = unit_.received();
    EXPECT_EQ(hex(received), hex(expectedBytes));
    EXPECT_EQ(unit_.unit().recordSize(), 65);
    EXPECT_EQ(unit_.unit().keyErasures(), 1);
    EXPECT_EQ(unit_.unit().logErasures(), 1);
    // 9 ticks of 50 ms, 35 of 200 ms and the two erases at least: about 8.6 s here.
    EXPECT_GT(ms, 8000);
}

TEST_F(RealtimeReset, PulledCableDuringTheEraseEndsInDisconnectWithoutHanging) {
    startUnit({*parseFault("hangup@0x18")});
    QtMainWindow main(theSerialPort);
    runReset(main);
    EXPECT_EQ(desktop_.boxTexts(), QStringList{QStringLiteral("Chyba 521 - ZYL odpojeno.")});
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_EQ(main.button(id)->isEnabled(), id == 1004) << id;
    }
    // Closing the window still ends the link and releases the dead port at once.
    QElapsedTimer clock;
    clock.start();
    main.window.close();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(theSerialPort.isOpen());
}

}  // namespace
