#pragma once

#include <QPlainTextEdit>
#include <QString>

// The log box: read-only, newest line on top, text only ever put in front. A line is shown
// at once; progress marks once the current event has returned (or before a modal box
// opens), all at once, since the box lays its top line out again on every change and a
// unit that erases for long sends marks by the hundred a second. Past kLongestShownRun
// marks in front of one line it shows "…" and the run's last kLongestShownRun marks.
class QtLogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kLongestShownRun = 1000;

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
