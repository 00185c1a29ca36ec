#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "port_link.h"
#include "unit_model.h"

// COM ports 1..70 as a test wants them, in process: a port with a unit behind it, a port
// that exists without a unit, a port held by another program, a port refused for lack of
// permission; every other number is absent. Time is the test's: it advances the clock,
// and read() returns the answers due by then. The receive buffer behaves as SerialPort's
// (1000 bytes, stale bytes kept beyond the last read's count).
//
// A unit that hangs up (a HangUp fault) drops the line as hangUp() does, and its port is
// absent, as a pulled USB adapter is, until the test brings the unit back with
// UnitModel::reconnect(). Opening a port loses what the unit sent while it was closed.
class SimulatedPort final : public PortLink {
public:
    using Millis = UnitModel::Millis;

    void attachUnit(int portNumber, UnitModel* unit);
    void addEmptyPort(int portNumber);
    void addHeldPort(int portNumber);
    void addRefusedPort(int portNumber);
    // What every open reports of the user's port folder.
    void setIgnoredFolder(IgnoredFolder folder) { ignoredFolder_ = std::move(folder); }
    // What happens while a port opens (a slow open's wait handles the window's messages).
    void setWhileOpening(std::function<void(int portNumber)> hook) { whileOpening_ = std::move(hook); }
    // Windows' ports: a busy port is named without the program that holds it.
    void setNamesBusyHolders(bool names) { namesBusyHolders_ = names; }
    // The line is dropped: reads return 0 and writes fail until the port is opened again.
    void hangUp();

    Millis now() const { return now_; }
    void setNow(Millis now) { now_ = now; }
    void advance(Millis ms) { now_ += ms; }

    void open(int portNumber) override;
    PortStatus status() const override { return status_; }
    int read() override;
    std::uint8_t byteAt(int position) const override;
    bool write(int value) override;
    void close() override;
    int msSinceInput() const override {
        return static_cast<int>(std::min<Millis>(now_ - lastInput_, kLongAgoMs));
    }
    std::string lastRefusal() const override;
    std::string lastBusy() const override;
    IgnoredFolder ignoredFolder() const override { return ignoredFolder_; }
    bool namesBusyHolders() const override { return namesBusyHolders_; }

    int openPort() const { return openPort_; }  // 0 when none is held
    const std::vector<int>& openAttempts() const { return openAttempts_; }
    // Bytes written to a port, in order, across every time it was open.
    const std::vector<std::uint8_t>& sent(int portNumber) const;

private:
    enum class Kind { Unit, Empty, Held, Refused };
    struct Entry {
        Kind kind;
        UnitModel* unit = nullptr;
    };

    UnitModel* openUnit() const;

    std::map<int, Entry> ports_;
    std::map<int, std::vector<std::uint8_t>> sent_;
    std::vector<int> openAttempts_;
    PortStatus status_ = PortStatus::Closed;
    int openPort_ = 0;
    int refusedPort_ = 0;
    int busyPort_ = 0;
    IgnoredFolder ignoredFolder_;
    std::function<void(int)> whileOpening_;
    bool namesBusyHolders_ = true;
    bool hungUp_ = false;
    Millis now_ = 0;
    Millis lastInput_ = 0;
    std::array<std::uint8_t, 1000> rxBuffer_{};
};
