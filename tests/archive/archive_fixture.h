#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "image_file.h"
#include "main_harness.h"
#include "temp_folder.h"
#include "window_timers.h"

// Ticks a confirmation's box and presses OK, as a user would.
inline int tickAndConfirm(ConfirmDialog& confirm) {
    confirm.tickBox()->click();
    confirm.okButton()->click();
    return confirm.result();
}

// The six buttons, in the order 1036, 1038, 1041, 1040, 1039, 2 ("Zpět"): true = enabled.
using ButtonState = std::vector<bool>;
inline const ButtonState kAllEnabled{true, true, true, true, true, true};
inline const ButtonState kAllDisabled{false, false, false, false, false, false};
inline const ButtonState kAfterFailure{true, false, false, false, false, true};
inline const ButtonState kAfterSettingsFailure{false, false, false, false, false, true};

inline ButtonState buttonState(const ArchiveDialog& d) {
    ButtonState state;
    for (int id : {1036, 1038, 1041, 1040, 1039, 2}) {
        state.push_back(d.button(id)->isEnabled());
    }
    return state;
}

// An image of random bytes, the same for every run.
inline MemoryImage randomImage(unsigned seed) {
    std::mt19937 random(seed);
    MemoryImage image{};
    std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return image;
}

// The archive dialog open over the main window, on a simulated unit at COM 3: the dialog
// is initialised (its keep-alive started) but not run modally; tests call its handlers and
// step its timers. Confirmations are answered by ticking the box and pressing OK.
class ArchiveFixture : public ::testing::Test {
protected:
    explicit ArchiveFixture(UnitModel::Config config = {}) : h(3, config) {}

    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        h.port.open(3);
        dialog = std::make_unique<ArchiveDialog>(h.dialog);
        dialog->recordSize = 65;
        dialog->accessTime = 5;
        dialog->image = randomImage(1);
        dialog->onInitDialog();
        stepper =
            std::make_unique<TimerStepper>(dialog->timers(), h.port, [this](int id) { dialog->onTimer(id); });
        h.desktop.modalHandler = [this](QDialog& d) {
            auto* confirm = qobject_cast<ConfirmDialog*>(&d);
            if (!confirm) {
                return static_cast<int>(QDialog::Rejected);
            }
            confirmations << confirm->text;
            return confirmAnswer ? tickAndConfirm(*confirm) : static_cast<int>(QDialog::Rejected);
        };
    }

    void TearDown() override { WindowTimers::setStartPolicy({}); }

    QString path(const QString& name) const { return QString::fromStdString(dir.file(name.toStdString())); }

    // Writes an image file for a load to find.
    QString imageFile(const QString& name, const ArchiveSettings& settings, const MemoryImage& image) {
        const QString p = path(name);
        EXPECT_TRUE(writeImageFile(QFile::encodeName(p).toStdString(), settings, image).ok());
        return p;
    }

    // Loads `file` through "Zkopírovat paměť z PC do ZYL".
    void loadAndWrite(const QString& file) {
        h.desktop.fileAnswers.push_back(file);
        dialog->onCopyToUnit();
    }

    int activeTimer() const { return dialog->timers().activeId(); }
    bool settingsWritten() const {
        return activeTimer() == ArchiveDialog::kSettingsTimer && dialog->blockIndex >= 9;
    }
    bool stopped() const { return activeTimer() == 0; }

    const std::vector<std::uint8_t>& sent() const { return h.port.sent(3); }
    int sentCount(std::uint8_t b) const {
        return static_cast<int>(std::count(sent().begin(), sent().end(), b));
    }

    TempFolder dir;
    MainHarness h;
    std::unique_ptr<ArchiveDialog> dialog;
    std::unique_ptr<TimerStepper> stepper;
    QStringList confirmations;
    bool confirmAnswer = true;
};
