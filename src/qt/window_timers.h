#pragma once

#include <QObject>

#include <functional>
#include <map>

class QTimer;

// A window's timers by id, as dialog templates know them: start(id, period) runs ticks of
// that id every period ms on the user-interface thread (precise timers, so the protocol's
// periods hold), start() of a running id restarts it, stop() of an idle id does nothing.
class WindowTimers : public QObject {
    Q_OBJECT
public:
    using TickHandler = std::function<void(int id)>;

    explicit WindowTimers(TickHandler onTick, QObject* parent = nullptr);
    ~WindowTimers() override;

    // Returns id: a Qt timer is never refused.
    int start(int id, int periodMs);
    void stop(int id);
    void stopAll();
    bool isActive(int id) const;
    int period(int id) const;  // of an active timer, else 0
    // The one active timer's id, or 0 (the windows run at most one at a time).
    int activeId() const;

private:
    TickHandler onTick_;
    std::map<int, QTimer*> timers_;
};
