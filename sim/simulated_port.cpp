#include "simulated_port.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxRead = 950;

}  // namespace

void SimulatedPort::attachUnit(int portNumber, UnitModel* unit) {
    ports_[portNumber] = {Kind::Unit, unit};
}

void SimulatedPort::addEmptyPort(int portNumber) {
    ports_[portNumber] = {Kind::Empty};
}

void SimulatedPort::addHeldPort(int portNumber) {
    ports_[portNumber] = {Kind::Held};
}

void SimulatedPort::addRefusedPort(int portNumber) {
    ports_[portNumber] = {Kind::Refused};
}

void SimulatedPort::hangUp() {
    hungUp_ = true;
}

void SimulatedPort::open(int portNumber) {
    openAttempts_.push_back(portNumber);
    close();
    refusedPort_ = 0;
    busyPort_ = 0;
    if (portNumber < kFirstComPort || portNumber > kLastComPort) {
        return;
    }
    if (whileOpening_) {
        whileOpening_(portNumber);
    }
    const auto entry = ports_.find(portNumber);
    if (entry == ports_.end()) {
        return;
    }
    switch (entry->second.kind) {
        case Kind::Held:
            busyPort_ = portNumber;
            return;
        case Kind::Refused:
            refusedPort_ = portNumber;
            return;
        case Kind::Unit:
            if (entry->second.unit->hungUp()) {
                return;
            }
            entry->second.unit->takeOutput(now_);
            break;
        case Kind::Empty:
            break;
    }
    status_ = PortStatus::Ready;
    openPort_ = portNumber;
    lastInput_ = now_;
    hungUp_ = false;
}

UnitModel* SimulatedPort::openUnit() const {
    if (openPort_ == 0) {
        return nullptr;
    }
    const Entry& entry = ports_.at(openPort_);
    return entry.kind == Kind::Unit ? entry.unit : nullptr;
}

int SimulatedPort::read() {
    UnitModel* unit = openUnit();
    if (unit == nullptr || hungUp_ || unit->hungUp()) {
        return 0;
    }
    const std::vector<std::uint8_t> bytes = unit->takeOutput(now_, kMaxRead);
    std::copy(bytes.begin(), bytes.end(), rxBuffer_.begin());
    if (!bytes.empty()) {
        lastInput_ = now_;
    }
    return static_cast<int>(bytes.size());
}

std::uint8_t SimulatedPort::byteAt(int position) const {
    return position >= 0 && position < static_cast<int>(rxBuffer_.size())
               ? rxBuffer_[static_cast<std::size_t>(position)]
               : 0;
}

bool SimulatedPort::write(int value) {
    UnitModel* unit = openUnit();
    if (openPort_ == 0 || hungUp_ || (unit != nullptr && unit->hungUp())) {
        return false;
    }
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    sent_[openPort_].push_back(byte);
    if (unit != nullptr) {
        unit->receive(byte, now_);
    }
    return true;
}

void SimulatedPort::close() {
    status_ = PortStatus::Closed;
    openPort_ = 0;
}

std::string SimulatedPort::lastRefusal() const {
    return refusedPort_ == 0 ? std::string()
                             : "COM" + std::to_string(refusedPort_) + " (simulated, skupina dialout)";
}

std::string SimulatedPort::lastBusy() const {
    return busyPort_ == 0 ? std::string() : "COM" + std::to_string(busyPort_) + " (simulated)";
}

const std::vector<std::uint8_t>& SimulatedPort::sent(int portNumber) const {
    static const std::vector<std::uint8_t> nothing;
    const auto bytes = sent_.find(portNumber);
    return bytes == sent_.end() ? nothing : bytes->second;
}
