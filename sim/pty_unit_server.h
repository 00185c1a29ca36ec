#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fault.h"
#include "key_record.h"
#include "unit_model.h"

// The simulated unit on a pseudo-terminal, registered as a COM port of this user.
//
// Principles of operation:
// - start() creates the pseudo-terminal and puts its slave side in raw mode at 19200 baud
//   itself, so that nothing is echoed before the program sets the line up. The server
//   keeps a slave descriptor of its own open: the program may open and close the port as
//   often as it likes and the master never sees a hang-up. The port folder (as the
//   program finds it: $XDG_RUNTIME_DIR/zyltool, else /tmp/zyltool-<uid>, created private
//   when missing) gets an entry "comN", a symbolic link to the slave, replacing any old
//   one. Then the ready line "zylsim: COM<N> <slave path>" goes to `announce`.
// - run() sleeps in poll() on the master and a wake-up pipe until a byte comes or the
//   model's next answer falls due; each byte read goes to the model with the milliseconds
//   since start(), each answer due is written to the master. It returns after stop().
// - A HangUp fault drops the line: the master and the server's own slave descriptor are
//   closed, so the program's reads see the hang-up, and the entry is removed. With a
//   rejoin delay a fresh pseudo-terminal is registered under the same number after it
//   (and announced again), the model keeping its memory and settings; without one the
//   port stays away until the server ends.
// - The entry is removed when the server is destroyed, if it still points to our slave.
//
// Transcript: one line per byte, "<ms> > 0xHH" for a byte from the PC to the unit and
// "<ms> < 0xHH" for a byte from the unit to the PC, where <ms> counts milliseconds from
// start() and HH is the byte in two uppercase hexadecimal digits, for example
//   1203 > 0x01
//   1455 < 0x07
class PtyUnitServer {
public:
    struct Options {
        int comNumber = 1;
        UnitModel::Config unit;
        std::optional<KeyCode> heldKey;
        std::vector<Fault> faults;
        std::string transcriptPath;  // empty: no transcript
        int rejoinMs = -1;           // after a hang-up, back after this many ms; -1: stays away
        std::string portFolder;      // empty: the user's port folder
        std::function<void(const std::string& line)> announce;  // gets the ready line
    };

    explicit PtyUnitServer(Options options);
    PtyUnitServer(const PtyUnitServer&) = delete;
    PtyUnitServer& operator=(const PtyUnitServer&) = delete;
    ~PtyUnitServer();

    // Creates and registers the port; false with error() when that fails.
    bool start();
    // Serves the unit until stop(); 0, or 1 with error() when the line failed.
    int run();
    // Makes run() return. Safe from another thread and from a signal handler.
    void stop();

    const std::string& error() const { return error_; }
    std::string linkPath() const;
    // Not to be used while run() is going on in another thread.
    const UnitModel& unit() const { return unit_; }

    // $XDG_RUNTIME_DIR/zyltool when that variable holds an absolute path, else
    // /tmp/zyltool-<uid>.
    static std::string userPortFolder();

private:
    using Millis = UnitModel::Millis;

    Millis elapsed() const;
    bool openLine();
    void closeLine();
    bool registerLink();
    void removeLink();
    void takeInput();
    void giveOutput();
    void dropLine();
    void record(Millis at, char direction, std::uint8_t byte);
    bool fail(const std::string& what);

    Options options_;
    UnitModel unit_;
    std::chrono::steady_clock::time_point started_;
    std::string folder_;
    int master_ = -1;
    int ownSlave_ = -1;
    std::string slavePath_;
    bool linked_ = false;
    Millis rejoinAt_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::FILE* transcript_ = nullptr;
    std::string error_;
};
