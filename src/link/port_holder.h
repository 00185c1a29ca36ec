#pragma once

#include <string>

// Who keeps the device at `path` from us, as /proc shows it to this user: the program that
// holds its lock (/proc/locks), or, when no lock tells, every program that has it open
// (their /proc/PID/comm, joined by ", "); empty when /proc shows none. Programs of other
// users stay hidden, ModemManager and brltty (the usual holders of a serial port) among them.
std::string portHolder(const std::string& path);
