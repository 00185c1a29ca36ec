// One whole image write in real time: the real serial port on a pseudo-terminal, the real
// window timers, and the simulated unit served by PtyUnitServer on a thread of its own.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <random>

#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "fake_desktop.h"
#include "image_file.h"
#include "main_dialog.h"
#include "pty_unit.h"
#include "qt_dialog_window.h"
#include "qt_main_window.h"
#include "serial_port.h"
#include "window_timers.h"

namespace {

constexpr int kComPort = 9;

TEST(ArchivePtyTest, LoadedFileIsWrittenIntoTheUnitInRealTime) {
    PtyUnit unit;
    PtyUnitServer::Options options;
    options.comNumber = kComPort;
    ASSERT_TRUE(unit.start(options)) << unit.error();

    std::mt19937 random(31);
    MemoryImage fileImage{};
    std::generate(fileImage.begin(), fileImage.end(), [&] { return static_cast<std::uint8_t>(random()); });
    const QString file = QString::fromStdString(unit.runtimeDir()) + QStringLiteral("/archive.zrd");
    ASSERT_TRUE(writeImageFile(QFile::encodeName(file).toStdString(), {0, 40, 0, 1}, fileImage).ok());

    FakeDesktop desktop;
    desktop.modalHandler = [](QDialog& d) {
        auto& confirm = dynamic_cast<QtDialogWindow&>(d);
        EXPECT_NE(dynamic_cast<ConfirmDialog*>(&confirm.dialog()), nullptr);
        qobject_cast<QCheckBox*>(confirm.control(ConfirmDialog::kTickBox))->click();
        qobject_cast<QPushButton*>(confirm.control(ConfirmDialog::kOkButton))->click();
        return confirm.result();
    };
    desktop.fileAnswers.push_back(file);

    bool written = false;
    {
        QtMainWindow main(theSerialPort);
        theSerialPort.open(kComPort);
        ASSERT_EQ(theSerialPort.status(), PortStatus::Ready);

        ArchiveDialog dialog(main.dialog);
        QtDialogWindow window(dialog, &main.window);
        window.show();
        qobject_cast<QPushButton*>(window.control(ArchiveDialog::kCopyToUnitButton))->click();
        ASSERT_EQ(window.timers().activeId(), ArchiveDialog::kWriteTimer);

        // 514 ticks of 500 ms, then nine of 700 ms.
        const QDeadlineTimer deadline(400'000);
        while (!deadline.hasExpired() && window.timers().activeId() != 0 &&
               !(window.timers().activeId() == ArchiveDialog::kSettingsTimer && dialog.blockIndex >= 9)) {
            QTest::qWait(100);
        }
        written = dialog.blockIndex >= 9;
        EXPECT_TRUE(written) << main.logText().toStdString();
        EXPECT_TRUE(desktop.boxes.empty());
        EXPECT_TRUE(main.logText().startsWith(QStringLiteral("Nastavena nová nastavení pro relé\r\n"
                                                             "Nastaven nový čas přístupu\r\n"
                                                             "Nastaven nový počet znaků komentáře\r\n"
                                                             "Hotovo\r\n") +
                                              QString(64, QLatin1Char('*'))));
        window.reject();
        theSerialPort.close();
    }

    unit.stop();
    EXPECT_EQ(unit.unit().imageBlocksReceived(), 512);
    EXPECT_TRUE(unit.unit().memory() == fileImage);
    EXPECT_EQ(unit.unit().recordSize(), 40);
    EXPECT_EQ(unit.unit().accessTime(), 0);
    EXPECT_EQ(unit.unit().relayByte(), 0xC0 | 0x38);
}

}  // namespace
