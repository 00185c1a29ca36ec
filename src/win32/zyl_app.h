#pragma once

#include "timer_resolution.h"

class Dialog;

// The application: it readies the system for the program's windows, runs the main dialog
// modally for the life of the program, and ends the program when that dialog closes.
//
// Constructed first: the common controls (the report list) are registered before any
// window, and Windows' timer resolution is 1 ms while the program runs.
class ZylApp {
public:
    ZylApp();
    ZylApp(const ZylApp&) = delete;
    ZylApp& operator=(const ZylApp&) = delete;

    // Runs the main dialog until it closes; false, so the program then ends.
    bool InitInstance(Dialog& mainDialog);

private:
    TimerResolution timerResolution_;
};
