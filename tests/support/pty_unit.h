#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "pty_unit_server.h"
#include "scoped_env.h"
#include "temp_folder.h"

// The simulated unit served in real time on a pseudo-terminal, on a thread of its own, and
// registered as a COM port in a private port folder: XDG_RUNTIME_DIR points to a fresh
// folder for the object's lifetime, so the program's own serial port finds the unit and
// nothing else. Every byte crossing the line goes to a transcript.
class PtyUnit {
public:
    using Bytes = std::vector<std::uint8_t>;

    PtyUnit() = default;
    ~PtyUnit() { stop(); }

    PtyUnit(const PtyUnit&) = delete;
    PtyUnit& operator=(const PtyUnit&) = delete;

    // Starts serving with these options (the transcript is the unit's own); false with the
    // reason in error() when the port could not be made.
    bool start(PtyUnitServer::Options options) {
        options.transcriptPath = transcriptPath();
        server_ = std::make_unique<PtyUnitServer>(std::move(options));
        if (!server_->start()) {
            return false;
        }
        thread_ = std::thread([this] { server_->run(); });
        return true;
    }

    // Ends serving; the unit's state stays readable through unit().
    void stop() {
        if (thread_.joinable()) {
            server_->stop();
            thread_.join();
        }
    }

    const std::string& error() const { return server_->error(); }
    // Only after stop().
    const UnitModel& unit() const { return server_->unit(); }
    std::string transcriptPath() const { return runtimeDir_.file("transcript.txt"); }
    const std::string& runtimeDir() const { return runtimeDir_.path(); }

    // The bytes the unit received, in order, from the transcript.
    Bytes received() const {
        Bytes bytes;
        std::ifstream in(transcriptPath());
        std::string ms, direction, hex;
        while (in >> ms >> direction >> hex) {
            if (direction == ">") {
                bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex, nullptr, 16)));
            }
        }
        return bytes;
    }

private:
    TempFolder runtimeDir_;
    ScopedEnv runtimeDirVariable_{"XDG_RUNTIME_DIR", runtimeDir_.path().c_str()};
    std::unique_ptr<PtyUnitServer> server_;
    std::thread thread_;
};
