#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

// A private X server (Xvfb) for tests that need what a window manager sees: started on a
// free display number (Xvfb picks it and reports it through -displayfd), ended with the
// object. running() is false, with the reason in error(), when Xvfb is missing or failed.
class XvfbServer {
public:
    XvfbServer() {
        int report[2];
        if (::pipe(report) != 0) {
            error_ = "no pipe for Xvfb's display number";
            return;
        }
        const std::string fd = std::to_string(report[1]);
        // -terminate: should this process die without ending the server, it ends with its
        // last client, this process.
        const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-nolisten",   "tcp",
                              "-terminate", "-screen",    "0",        "1024x768x24", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, report[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(report[1]);
        if (spawned != 0) {
            pid_ = -1;
            ::close(report[0]);
            error_ = "Xvfb is not installed (Debian package xvfb)";
            return;
        }
        // Xvfb writes the number once it accepts clients, or exits.
        std::string number;
        char c;
        while (::read(report[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        ::close(report[0]);
        if (number.empty()) {
            error_ = "Xvfb did not start";
            stop();
            return;
        }
        display_ = ":" + number;
    }

    ~XvfbServer() { stop(); }

    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return !display_.empty(); }
    const std::string& display() const { return display_; }
    const std::string& error() const { return error_; }

private:
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
};
