#include "window_timers.h"

#include <QTimer>

WindowTimers::WindowTimers(TickHandler onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

WindowTimers::~WindowTimers() = default;

int WindowTimers::start(int id, int periodMs) {
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { onTick_(id); });
    }
    timer->start(periodMs);
    return id;
}

void WindowTimers::stop(int id) {
    if (auto it = timers_.find(id); it != timers_.end()) {
        it->second->stop();
    }
}

void WindowTimers::stopAll() {
    for (const auto& [id, timer] : timers_) {
        timer->stop();
    }
}

bool WindowTimers::isActive(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

int WindowTimers::period(int id) const {
    return isActive(id) ? timers_.at(id)->interval() : 0;
}

int WindowTimers::activeId() const {
    for (const auto& [id, timer] : timers_) {
        if (timer->isActive()) {
            return id;
        }
    }
    return 0;
}
