#pragma once

#include <string>

// The name of a program that has the device at `path` open, as /proc shows it to this user
// (its /proc/PID/comm); empty when it shows none. Programs of other users stay hidden,
// ModemManager and brltty (the usual holders of a serial port) among them.
std::string portHolder(const std::string& path);
