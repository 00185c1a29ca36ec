// zyllogmeasure: how long the Win32 log box takes to put one line on top of its text when
// it holds 100 lines and when it holds 100,000 (an erase of a full unit writes a mark a
// tick for minutes). Prints the median of 50 prepends at each size, in microseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "dialog.h"
#include "win32_dialog_window.h"

namespace {

constexpr int kLogBox = 1009, kSamples = 50;
constexpr ControlTemplate kControls[] = {{kLogBox, ControlKind::LogBox, "", 7, 7, 293, 118}};
const DialogTemplate kTemplate{903, "zyllogmeasure", 308, 132, "MS Sans Serif", 8, kControls};

const char kLine[] =
    "Nastaven aktu\xE1ln\xED \xE8"
    "as ********************\r\n";

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
            std::string text;
            for (int i = 0; i < size; ++i) {
                text += kLine;
            }
            window().setText(kLogBox, text);
            std::printf("%d lines: %.0f us per line put on top\n", size, medianPrependMicros(window()));
        }
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
