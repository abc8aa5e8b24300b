#pragma once

namespace melvora {

// Analysis window formulas, selected by number.
enum WindowType : unsigned {
    kWindowHannNoZeroEnds = 0,  // (1 - cos(2 pi (i + 1) / (n + 1))) / 2, never 0 at the ends
    kWindowHamming = 1,         // 0.54 - 0.46 cos(2 pi i / (n - 1)), 0.08 at both ends
    kWindowRectangular = 3,     // 1.0
    kWindowBlackman = 4,        // 0.42 - 0.5 cos(2 pi i/(n-1)) + 0.08 cos(4 pi i/(n-1))
};

// Fills window[0..n-1] with the window of the given type, computed in extended precision.
// n <= 0 writes nothing. Hamming and Blackman need n >= 2 (n == 1 divides by zero and gives a
// value that is not a number). Type 2 and types above 4 are programming errors: the call
// writes "Unknown window type" to standard error and ends the process with status 1.
void MakeWindow(float* window, int n, unsigned windowType);

}  // namespace melvora
