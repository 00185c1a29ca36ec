#pragma once

#include <QString>

#include "window.h"

class QDialog;
class QWidget;

// The program's thin edge to the desktop: message boxes, modal runs of dialogs, the file
// dialogs, the shell's "open" and the local clock. Everything that would otherwise wait in
// a modal loop or depend on the machine goes through here, so tests can install their own
// Desktop and drive the windows without one. It speaks in the window's own terms; only
// texts and paths are Qt's.
class Desktop {
public:
    using Buttons = Window::Buttons;
    using Answer = Window::Answer;
    using FileFilter = Window::FileFilter;
    using LocalTime = Window::LocalTime;

    virtual ~Desktop() = default;

    // A plain message box with no icon; an empty caption shows the program's name, "ZYL default".
    virtual Answer messageBox(QWidget* owner, const QString& text, const QString& caption = {},
                              Buttons buttons = Buttons::Ok);
    // Runs a dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int runModal(QDialog& dialog);
    // The full path chosen, or empty when the user cancelled.
    virtual QString openFileName(QWidget* owner, const FileFilter& filter);
    virtual QString saveFileName(QWidget* owner, const FileFilter& filter);
    // The shell's "open" of a local file or a web address.
    virtual void openExternal(const QString& fileOrUrl);
    virtual LocalTime localTime();

    static Desktop& current();
    // Installs another desktop (tests); nullptr returns to the real one.
    static void install(Desktop* desktop);
};
