#pragma once

#include <QString>
#include <QStringList>

// The whole text of the log box, newest line on top. Every change happens at the front, so
// the pieces are kept in the order they were added and joined back to front only when the
// whole text is asked for: an update costs the same at 100,000 lines as at 100.
class LogText {
public:
    void prepend(const QString& piece) { pieces_.append(piece); }
    QString text() const;
    bool isEmpty() const { return pieces_.isEmpty(); }

private:
    QStringList pieces_;
};
