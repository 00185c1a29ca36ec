#pragma once

#include <string>
#include <string_view>
#include <vector>

class Dialog;

// What a dialog's logic sees of its window: its controls by id, its timers by id, the
// modal boxes and runs it opens, and the desktop around it. Each front-end implements it
// on its own toolkit; tests implement it without one. Texts are code page 1250; file
// names are the system's own (UTF-8).
class Window {
public:
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct FileFilter {
        std::string_view description;  // "ZYL data (*.zrd)"
        std::string_view pattern;      // "*.zrd"
        std::string_view extension;    // "zrd": appended to a name saved without one; opened
                                       // when only the name with it exists
    };

    struct LocalTime {
        int year, month, day, hour, minute, second;
    };

    virtual ~Window() = default;

    // Controls.
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;
    virtual bool isEnabled(int id) const = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    virtual bool isVisible(int id) const = 0;
    virtual void setVisible(int id, bool visible) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    // Moves the focus to a control; a field's text is selected as the focus arrives.
    virtual void setFocus(int id) = 0;
    virtual bool hasFocus(int id) const = 0;

    // The log box: a line was put on top of its text, or a mark in front of its top line.
    // The window may bring its box up to date once the current event has returned, and
    // does before any modal box or run opens. A unit that erases for long sends marks by
    // the hundred a second, and a box lays its top line out again for each: past
    // kLongestShownMarkRun marks in front of one line, a box shows "…" and that many marks,
    // and no longer changes for more (the dialog's log keeps them all).
    static constexpr int kLongestShownMarkRun = 1000;
    virtual void logLinePrepended(int id, std::string_view line) = 0;
    virtual void logMarkPrepended(int id, std::string_view mark) = 0;

    // A report list: its rows were rebuilt (the dialog's rowCount/cellText tell them),
    // a row's selection, the selected rows in ascending order.
    virtual void rowsChanged(int id) = 0;
    virtual void setRowSelected(int id, int row, bool selected) = 0;
    virtual std::vector<int> selectedRows(int id) const = 0;

    // Paints what changed while a handler still runs (a search that opens port after port);
    // user input waits meanwhile.
    virtual void paintNow() = 0;

    // Timers of this window: start returns id, or 0 when the system refused the timer;
    // starting a running id restarts it; stopping an idle id does nothing.
    virtual int startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;

    // Runs another dialog modally above this window; returns the result it ended with.
    virtual int runModal(Dialog& dialog) = 0;
    // Ends this dialog's modal run with a result (Dialog::kOk, Dialog::kCancel).
    virtual void endDialog(int result) = 0;

    // A plain message box with no icon; an empty caption shows the program's name.
    virtual Answer messageBox(std::string_view text, std::string_view caption = {},
                              Buttons buttons = Buttons::Ok) = 0;
    // The full path chosen, or empty when the user cancelled.
    virtual std::string openFileName(const FileFilter& filter) = 0;
    virtual std::string saveFileName(const FileFilter& filter) = 0;
    // The shell's "open" of a local file or a web address.
    virtual void openExternal(std::string_view fileOrUrl) = 0;
    virtual LocalTime localTime() = 0;
};
