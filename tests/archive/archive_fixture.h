#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "archive_dialog.h"
#include "code_page_1250.h"
#include "confirm_dialog.h"
#include "fake_window.h"
#include "image_file.h"
#include "main_harness.h"
#include "temp_folder.h"
#include "timer_stepper.h"

// Ticks a confirmation's box and presses OK, as a user would.
inline int tickAndConfirm(FakeWindow& confirm) {
    confirm.click(ConfirmDialog::kTickBox);
    confirm.click(ConfirmDialog::kOkButton);
    return confirm.result();
}

// A code page 1250 text as the tests compare it.
inline QString shown(std::string_view cp1250) {
    return QString::fromStdString(cp1250ToUtf8(cp1250));
}

// The six buttons, in the order 1036, 1038, 1041, 1040, 1039, 2 ("Zpět"): true = enabled.
using ButtonState = std::vector<bool>;
inline const ButtonState kAllEnabled{true, true, true, true, true, true};
inline const ButtonState kAllDisabled{false, false, false, false, false, false};
inline const ButtonState kAfterFailure{true, false, false, false, false, true};
inline const ButtonState kAfterSettingsFailure{false, false, false, false, false, true};

inline ButtonState buttonState(const Window& w) {
    ButtonState state;
    for (int id : {1036, 1038, 1041, 1040, 1039, 2}) {
        state.push_back(w.isEnabled(id));
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

// The archive dialog open over the main window, on a simulated unit at COM 3, in a window
// without a toolkit: the dialog is started (its keep-alive running); tests click its
// buttons and step its timers. Confirmations are answered by ticking the box and pressing OK.
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
        window = std::make_unique<FakeWindow>(*dialog, screen);
        window->modalHandler = [this](Dialog& d, FakeWindow& w) {
            auto* confirm = dynamic_cast<ConfirmDialog*>(&d);
            if (!confirm) {
                return Dialog::kCancel;
            }
            confirmations << shown(confirm->text);
            return confirmAnswer ? tickAndConfirm(w) : Dialog::kCancel;
        };
        window->init();
        stepper = std::make_unique<TimerStepper>(*window, h.port);
    }

    QString path(const QString& name) const { return QString::fromStdString(dir.file(name.toStdString())); }

    // Writes an image file for a load to find.
    QString imageFile(const QString& name, const ArchiveSettings& settings, const MemoryImage& image) {
        const QString p = path(name);
        EXPECT_TRUE(writeImageFile(QFile::encodeName(p).toStdString(), settings, image).ok());
        return p;
    }

    void click(int id) { window->click(id); }

    // Loads `file` through "Zkopírovat paměť z PC do ZYL".
    void loadAndWrite(const QString& file) {
        screen.fileAnswers.push_back(file.toStdString());
        click(ArchiveDialog::kCopyToUnitButton);
    }

    // Ends the run as the window does after `way` (a click, Esc, the close box).
    void close(const std::function<void()>& way) {
        way();
        ASSERT_EQ(window->result(), Dialog::kCancel);
        window->destroy();
    }

    // Every box shown: the main window's (its reports), then the dialog's own.
    QStringList boxTexts() const {
        QStringList texts;
        for (const std::string& text : h.screen.boxTexts()) {
            texts << shown(text);
        }
        for (const std::string& text : screen.boxTexts()) {
            texts << shown(text);
        }
        return texts;
    }

    // The main window's log as the user reads it.
    QString logText() const { return shown(h.dialog.logText()); }
    QStringList logLines() const {
        QStringList lines;
        for (const std::string& line : h.logLines()) {
            lines << QString::fromStdString(line);
        }
        return lines;
    }

    int activeTimer() const { return window->activeTimer(); }
    int period(int id) const { return window->timers().at(id); }
    bool settingsWritten() const {
        return activeTimer() == ArchiveDialog::kSettingsTimer && dialog->blockIndex >= 9;
    }
    bool stopped() const { return activeTimer() == 0; }
    ButtonState buttons() const { return buttonState(*window); }

    const std::vector<std::uint8_t>& sent() const { return h.port.sent(3); }
    int sentCount(std::uint8_t b) const {
        return static_cast<int>(std::count(sent().begin(), sent().end(), b));
    }

    TempFolder dir;
    MainHarness h;
    FakeScreen screen;
    std::unique_ptr<ArchiveDialog> dialog;
    std::unique_ptr<FakeWindow> window;
    std::unique_ptr<TimerStepper> stepper;
    QStringList confirmations;
    bool confirmAnswer = true;
};
