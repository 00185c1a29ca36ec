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

// Why the user's port folder (the links that name COM numbers) was not used.
enum class FolderFault { None, NotFolder, NotOwned, OpenToOthers };
struct IgnoredFolder {
    std::string path;
    FolderFault fault = FolderFault::None;
};

// Where an open() stands while it waits for the Bluetooth link of a port: it begins
// waiting, it is still waiting (between two looks at the link), or it gives up because the
// link failed or did not come in time. A link that comes up ends the wait without a step.
enum class LinkWaitStep { Begun, Pending, Failed, TimedOut };

class PortLink {
public:
    virtual ~PortLink() = default;

    virtual void open(int portNumber) = 0;
    virtual PortStatus status() const = 0;
    virtual int read() = 0;
    virtual std::uint8_t byteAt(int position) const = 0;
    virtual bool write(int value) = 0;
    virtual void close() = 0;

    // How long no byte has come in: the time since the last read() that took bytes, or
    // since the port was opened. A port with no clock of its own says "long ago".
    static constexpr int kLongAgoMs = 1 << 30;
    virtual int msSinceInput() const { return kLongAgoMs; }

    // When the last open() found the port but the user may not use it (no permission),
    // a short description of it for the log ("COM3 (/dev/ttyUSB0, skupina dialout)");
    // otherwise empty. Such a port counts as absent.
    virtual std::string lastRefusal() const { return {}; }

    // When the last open() found the port held by another program, a short description of
    // it for the log, with the program where the system shows it ("COM2 (/dev/ttyACM0,
    // drží ho minicom)", else "COM2 (/dev/ttyACM0)", on Windows "COM2"); otherwise empty.
    // Such a port counts as absent.
    virtual std::string lastBusy() const { return {}; }

    // Whether lastBusy() can name the program that holds a port: Linux shows it in /proc,
    // Windows tells nobody.
    virtual bool namesBusyHolders() const { return true; }

    // When the last open() found a port folder it could not use, which and why.
    virtual IgnoredFolder ignoredFolder() const { return {}; }
};
