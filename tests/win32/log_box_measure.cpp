// zyllogmeasure: how long the Win32 log box takes to put one line on top of its text when
// it holds 100 lines and when it holds 100,000 (the median of 50 prepends at each size), and
// what ten minutes of progress marks at the line's rate cost it (1,920 a second, a unit
// that sends nothing but 0x0A while it erases).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cp1250_literal.h"
#include "dialog.h"
#include "win32_dialog_window.h"

namespace {

constexpr int kLogBox = 1009, kSamples = 50;
constexpr ControlTemplate kControls[] = {{kLogBox, ControlKind::LogBox, "", 7, 7, 293, 118}};
const DialogTemplate kTemplate{903, "zyllogmeasure", 308, 132, "MS Sans Serif", 8, kControls};

constexpr std::string_view kLine = "Nastaven aktuální čas ********************\r\n"_cp;
constexpr int kMarksInTenMinutes = 1920 * 600;

std::string lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kLine;
    }
    return text;
}

double medianPrependMicros(Window& window) {
    std::vector<double> samples;
    for (int i = 0; i < kSamples; ++i) {
        const auto begun = std::chrono::steady_clock::now();
        window.logLinePrepended(kLogBox, kLine);
        samples.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begun).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[kSamples / 2];
}

class MeasureDialog : public Dialog {
public:
    MeasureDialog() : Dialog(kTemplate) {}

protected:
    void onInitDialog() override {
        for (const int size : {100, 100000}) {
            // Filled at once: what is measured is the update on top of a box that full.
            window().setText(kLogBox, lines(size));
            std::printf("%d lines: %.0f us per line put on top\n", size, medianPrependMicros(window()));
        }
        // The flood goes onto a box as a reset fills it.
        window().setText(kLogBox, lines(15));
        window().logLinePrepended(kLogBox, "");
        double slowest = 0;
        const auto begun = std::chrono::steady_clock::now();
        for (int i = 0; i < kMarksInTenMinutes; ++i) {
            const auto markBegun = std::chrono::steady_clock::now();
            window().logMarkPrepended(kLogBox, "*");
            slowest = std::max(slowest, std::chrono::duration<double, std::micro>(
                                            std::chrono::steady_clock::now() - markBegun)
                                            .count());
        }
        const double total =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count();
        std::printf(
            "%d marks (ten minutes at line rate): %.0f ms in all (%.2f %% of ten minutes), "
            "the slowest %.0f us\n",
            kMarksInTenMinutes, total, total / 6000, slowest);
        endDialog(kOk);
    }
};

}  // namespace

int main() {
    MeasureDialog dialog;
    Win32DialogWindow window(dialog);
    window.run();
    return 0;
}
