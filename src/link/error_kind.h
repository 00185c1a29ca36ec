#pragma once

// How a link failure is reported: Fatal stops the program's link for good, Disconnect
// returns the main window to its not-connected state, Logged only adds a log line.
enum class ErrorKind : int { Fatal = 1, Disconnect = 2, Logged = 3 };
