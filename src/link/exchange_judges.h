#pragma once

#include <cstdint>

#include "link_primitives.h"

// What the unit's answer to an exchange means, for the exchanges that more than one window
// runs (the main window and the archive dialog). Each window keeps its own table of steps,
// which sends, reads, judges and logs; only the judging is here. A judge takes the length
// of the step's read and the link whose answer bytes it holds.

// An acknowledged setting: the unit confirms the value with 0x06.
struct AckCodes {
    int wrong;   // something other than 0x06 came first
    int silent;  // nothing came
};
// 0 when the answer starts with 0x06, else the caller's code for what came instead.
int acknowledgementError(int n, LinkPrimitives& link, AckCodes codes);

// The erase of all keys (0x18 0x08 0x11) or of all logs (0x28 0x08 0x13).
enum class ErasePass { Keys, Logs };

// The answer to the erase command: 0 when the unit took it (0x07 first), else 521 for the
// keys pass or 522 for the logs pass.
int eraseAcceptError(int n, LinkPrimitives& link, ErasePass pass);

// One tick's answer while the unit erases: progress bytes (0x0A), then 0x03 when done.
struct EraseProgress {
    enum class Outcome { Erasing, Done, Failed };
    Outcome outcome = Outcome::Erasing;
    int marks = 0;  // "*" marks to log before the outcome, one for every sixth progress byte
    int code = 0;   // of a failure: 523/524 a stray byte, 525/526 nothing for 150 ms
};
// Counts the progress bytes in progressCount, which carries over from tick to tick; bytes
// after 0x03 or a stray byte are not looked at.
EraseProgress judgeEraseProgress(int n, LinkPrimitives& link, ErasePass pass, int& progressCount);

// A keep-alive cycle: misses counts the cycles in a row whose answer held no 0x06. True
// when it has grown past the caller's limit: the link is lost.
bool keepAliveLost(int n, LinkPrimitives& link, int& misses, int limit);
