#pragma once

#include <QObject>

// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP) into closeRequested(),
// delivered by the event loop: the handler only writes a byte to a pipe, which a socket
// notifier reads once the loop turns again, so the close never cuts into a tick or the port
// search. A signal the program was started to ignore (nohup) stays ignored. One instance at
// a time; the signals' former handling returns when it is destroyed.
//
// On Windows there is nothing of this kind to catch: the system asks a window program to
// end through its windows, and the main window's close box does the rest.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void closeRequested();
};
