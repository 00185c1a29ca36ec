#pragma once

class Dialog;

// The application: it readies the system for the program's windows, runs the main dialog
// modally for the life of the program, and ends the program when that dialog closes.
//
// Constructed first: the common controls (the report list) are registered before any
// window, and Windows' timer resolution is 1 ms while the program runs, so a 50 ms tick is
// not rounded up to the default grid of 15.6 ms. Nothing depends on it: Windows may ignore
// it, for a minimised window for one.
class ZylApp {
public:
    ZylApp();
    ~ZylApp();
    ZylApp(const ZylApp&) = delete;
    ZylApp& operator=(const ZylApp&) = delete;

    // Runs the main dialog until it closes; false, so the program then ends.
    bool InitInstance(Dialog& mainDialog);
};
