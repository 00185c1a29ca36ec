#include "timer_resolution.h"

#include "system_library.h"

namespace {

constexpr UINT kResolutionMs = 1;
constexpr UINT kNoError = 0;  // TIMERR_NOERROR

}  // namespace

TimerResolution::TimerResolution() : winmm_(loadSystemLibrary(L"winmm.dll")) {
    const auto begin = systemFunction<PeriodFunction>(winmm_, "timeBeginPeriod");
    const auto end = systemFunction<PeriodFunction>(winmm_, "timeEndPeriod");
    if (begin != nullptr && end != nullptr && begin(kResolutionMs) == kNoError) {
        end_ = end;
    }
}

TimerResolution::~TimerResolution() {
    if (end_ != nullptr) {
        end_(kResolutionMs);
    }
    if (winmm_ != nullptr) {
        ::FreeLibrary(winmm_);
    }
}
