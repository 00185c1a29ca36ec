#pragma once

// The one QApplication of a fuzz target, on the offscreen platform; made in
// LLVMFuzzerInitialize, before the first input.
void startOffscreenApp();
