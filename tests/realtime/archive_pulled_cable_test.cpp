// The cable pulled during the archive's image write, in real time: at its start (the unit
// hangs up on 0x1D) and in the middle of the blocks (the test drops the unit's side of the
// line). Both are fatal; the program started again connects at once.

#include <QCheckBox>

#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "image_file.h"
#include "pulled_cable_fixture.h"
#include "qt_dialog_window.h"

namespace {

class ArchivePulledCableTest : public PulledCableTest {
protected:
    // Confirms the overwrite question and picks an image file of the test's own.
    void chooseImageFile() {
        const std::string path = runtimeDir_.file("archive.zrd");
        MemoryImage image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 7);
        }
        ASSERT_TRUE(writeImageFile(path, {5, 65, 0, 0}, image).ok());
        desktop_.fileAnswers.push_back(QString::fromStdString(path));
        desktop_.modalHandler = [](QDialog& d) {
            auto& confirm = dynamic_cast<QtDialogWindow&>(d);
            EXPECT_NE(dynamic_cast<ConfirmDialog*>(&confirm.dialog()), nullptr);
            qobject_cast<QCheckBox*>(confirm.control(ConfirmDialog::kTickBox))->click();
            qobject_cast<QPushButton*>(confirm.control(ConfirmDialog::kOkButton))->click();
            return confirm.result();
        };
    }

    void expectFatalInArchive(QtMainWindow& main, QtDialogWindow& archive, int code) {
        EXPECT_EQ(desktop_.boxTexts(), QStringList{fatalMessage(code)});
        EXPECT_TRUE(main.logText().startsWith(fatalMessage(code) + QStringLiteral("\r\n")));
        EXPECT_EQ(archive.timers().activeId(), 0);
        // Only reading a file and leaving stay possible.
        EXPECT_TRUE(archive.isEnabled(ArchiveDialog::kCopyToPcButton));
        EXPECT_TRUE(archive.isEnabled(ArchiveDialog::kBackButton));
        EXPECT_FALSE(archive.isEnabled(ArchiveDialog::kCopyToUnitButton));
    }
};

TEST_F(ArchivePulledCableTest, AtTheStartOfTheImageWriteTheMissingAnswerIsFatal) {
    plugIn({*parseFault("hangup@0x1D")});
    chooseImageFile();
    {
        QtMainWindow main(theSerialPort);
        connectDirectly(main);
        ArchiveDialog dialog(main.dialog);
        QtDialogWindow archive(dialog, &main.window);
        archive.show();
        watch_.start();
        qobject_cast<QPushButton*>(archive.control(ArchiveDialog::kCopyToUnitButton))->click();
        ASSERT_EQ(archive.timers().activeId(), ArchiveDialog::kWriteTimer);
        ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 5000));

        expectFatalInArchive(main, archive, 530);
        expectQuietAfterReport("image write, hang-up at 0x1D");
        archive.reject();
    }
    QtMainWindow restarted(theSerialPort);
    expectResetSucceeds(restarted);
}

TEST_F(ArchivePulledCableTest, InTheMiddleOfTheImageWriteTheMissingBlockAnswerIsFatal) {
    // A real unit takes about 67 ms to receive a block of 128 bytes before it answers.
    plugIn({}, 60);
    chooseImageFile();
    {
        QtMainWindow main(theSerialPort);
        connectDirectly(main);
        ArchiveDialog dialog(main.dialog);
        QtDialogWindow archive(dialog, &main.window);
        archive.show();
        watch_.start();
        qobject_cast<QPushButton*>(archive.control(ArchiveDialog::kCopyToUnitButton))->click();
        ASSERT_TRUE(waitFor([&] { return dialog.step == 2 && dialog.blockIndex >= 8; }, 10000));
        pullCable();
        ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 5000));

        expectFatalInArchive(main, archive, 533);
        expectQuietAfterReport("image write, cable pulled after block 8");
        archive.reject();
    }
    plugIn();
    QtMainWindow restarted(theSerialPort);
    expectResetSucceeds(restarted);
}

}  // namespace
