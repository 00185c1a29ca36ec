#pragma once

#include <functional>

#include <QDialog>
#include <QString>

#include "desktop.h"

// A desktop that answers at once: every message box with OK (Yes to a question), every
// modal dialog by showing it offscreen (so its start-up runs) and handing it to `onModal`,
// or accepting it when none is set; the open dialog returns `openPath`, the save dialog
// nothing; the clock stands still. Installed for its lifetime.
class FuzzDesktop : public Desktop {
public:
    FuzzDesktop() { Desktop::install(this); }
    ~FuzzDesktop() override { Desktop::install(nullptr); }
    FuzzDesktop(const FuzzDesktop&) = delete;
    FuzzDesktop& operator=(const FuzzDesktop&) = delete;

    Answer messageBox(QWidget*, const QString&, const QString&, Buttons buttons) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }

    int runModal(QDialog& dialog) override {
        dialog.show();
        if (onModal) {
            onModal(dialog);
        } else {
            dialog.accept();
        }
        // A dialog that refused to close (a field out of its range) is given up on.
        if (dialog.isVisible()) {
            dialog.reject();
        }
        return dialog.result();
    }

    QString openFileName(QWidget*, const FileFilter&) override { return openPath; }
    QString saveFileName(QWidget*, const FileFilter&) override { return {}; }
    void openExternal(const QString&) override {}
    LocalTime localTime() override { return {2026, 12, 7, 10, 30, 15}; }

    QString openPath;
    std::function<void(QDialog&)> onModal;
};
