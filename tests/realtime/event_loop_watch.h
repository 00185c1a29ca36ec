#pragma once

#include <QElapsedTimer>
#include <QTimer>

// How long the user interface went without handling events: a precise 1 ms timer notes the
// longest gap between two of its ticks. (A zero-interval timer would do the same but spin
// a core, and the tests also watch the CPU.)
class EventLoopWatch {
public:
    EventLoopWatch() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 gap = since_.restart();
            longestGapMs_ = std::max(longestGapMs_, gap);
        });
    }

    void start() {
        longestGapMs_ = 0;
        since_.start();
        timer_.start();
    }
    void stop() { timer_.stop(); }

    qint64 longestGapMs() const { return longestGapMs_; }

private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 longestGapMs_ = 0;
};
