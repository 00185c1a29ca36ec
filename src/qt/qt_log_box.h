#pragma once

#include <QPlainTextEdit>
#include <QString>

#include "window.h"

// The log box: read-only, newest line on top, text only ever put in front. A line is shown
// at once; progress marks once the current event has returned (or before a modal box
// opens), all at once, since the box lays its top line out again on every change. A very
// long run of marks is shown shortened, as Window::kLongestShownMarkRun says.
class QtLogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit QtLogBox(QWidget* parent = nullptr);

    void prependLine(const QString& line);
    void prependMark(const QString& mark);
    // Shows the marks not shown yet.
    void showPendingMarks();

private:
    QString pendingMarks_;  // newest first
    bool marksQueued_ = false;
    int topRunShown_ = 0;  // how many of the top line's marks the box shows
    bool topRunShortened_ = false;
};
