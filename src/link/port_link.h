#pragma once

#include <cstdint>
#include <string>

// What the exchanges with the unit need of a COM port. The one real implementation is
// SerialPort (theSerialPort); tests and the simulated unit provide their own.
//
// The contract is SerialPort's: open() first releases any held port, then opens port
// 1..70 and leaves the outcome in status(); read() takes whatever has arrived (at most
// 950 bytes, waiting at most about 10 ms) into the receive buffer from index 0; byteAt()
// hands out buffer bytes by position (0 outside 0..999); write() sends exactly one byte,
// the low 8 bits of its argument; close() releases the port without purging it.

enum class PortStatus : int { Closed = 0, Faulty = 1, Ready = 2 };

// The COM port numbers the program knows.
inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 70;

class PortLink {
public:
    virtual ~PortLink() = default;

    virtual void open(int portNumber) = 0;
    virtual PortStatus status() const = 0;
    virtual int read() = 0;
    virtual std::uint8_t byteAt(int position) const = 0;
    virtual bool write(int value) = 0;
    virtual void close() = 0;

    // When the last open() found the port but the user may not use it (no permission),
    // a short description of it for the log ("COM3 (/dev/ttyUSB0, skupina dialout)");
    // otherwise empty. Such a port counts as absent.
    virtual std::string lastRefusal() const { return {}; }
};
