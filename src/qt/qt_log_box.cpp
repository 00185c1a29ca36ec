#include "qt_log_box.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {

QString forBox(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

QtLogBox::QtLogBox(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // As the Windows box: a vertical bar only; a line wider than the box is cut off.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUndoRedoEnabled(false);
}

void QtLogBox::prependLine(const QString& line) {
    showPendingMarks();
    QTextCursor cursor(document());
    cursor.insertText(forBox(line));
    topRunShown_ = 0;
    topRunShortened_ = false;
    verticalScrollBar()->setValue(0);
}

void QtLogBox::prependMark(const QString& mark) {
    pendingMarks_.prepend(mark);
    if (!marksQueued_) {
        marksQueued_ = true;
        QMetaObject::invokeMethod(
            this, [this] { showPendingMarks(); }, Qt::QueuedConnection);
    }
}

// Even once a tick, a line of a hundred thousand marks costs the box a good part of a core.
void QtLogBox::showPendingMarks() {
    marksQueued_ = false;
    if (pendingMarks_.isEmpty()) {
        return;
    }
    if (!topRunShortened_) {
        const QString marks = forBox(pendingMarks_);
        QTextCursor cursor(document());
        if (topRunShown_ + marks.size() <= Window::kLongestShownMarkRun) {
            cursor.insertText(marks);
            topRunShown_ += marks.size();
        } else {
            cursor.setPosition(topRunShown_, QTextCursor::KeepAnchor);
            const QString run = marks + cursor.selectedText();
            cursor.insertText(QStringLiteral("…") + run.right(Window::kLongestShownMarkRun));
            topRunShortened_ = true;
        }
    }
    pendingMarks_.clear();
    verticalScrollBar()->setValue(0);
}
