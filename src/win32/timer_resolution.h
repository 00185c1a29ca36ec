#pragma once

#include <windows.h>

// Windows' timer resolution at 1 ms for the life of the object, so a 50 ms tick is not
// rounded up to the default grid of 15.6 ms. winmm.dll, which sets it, is no KnownDLL, so it
// is loaded from System32 here rather than imported. Nothing depends on it: Windows may
// ignore it, for a minimised window for one.
class TimerResolution {
public:
    TimerResolution();
    ~TimerResolution();
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

private:
    using PeriodFunction = UINT(WINAPI*)(UINT);

    HMODULE winmm_;
    PeriodFunction end_ = nullptr;
};
