#include "analysis/window_function.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace melvora {

void MakeWindow(float* window, int n, unsigned windowType) {
    // The constants keep the precision they have always had: 2 pi, 0.54, 0.46 and 0.42 in
    // single precision, 0.5 and 0.08 in double.
    const long double twoPi = 6.2831855f;
    const long double span = static_cast<long double>(n) - 1.0L;
    switch (windowType) {
        case kWindowHannNoZeroEnds:
            for (int i = 0; i < n; ++i) {
                window[i] = static_cast<float>(
                    (1.0L - std::cos(twoPi * (i + 1) / (static_cast<long double>(n) + 1.0L))) *
                    0.5);
            }
            break;
        case kWindowHamming:
            for (int i = 0; i < n; ++i) {
                window[i] = static_cast<float>(static_cast<long double>(0.54f) -
                                               0.46f * std::cos(twoPi * i / span));
            }
            break;
        case kWindowRectangular:
            for (int i = 0; i < n; ++i) {
                window[i] = 1.0f;
            }
            break;
        case kWindowBlackman:
            for (int i = 0; i < n; ++i) {
                window[i] = static_cast<float>(static_cast<long double>(0.42f) -
                                               0.5 * std::cos(twoPi * i / span) +
                                               0.08 * std::cos(2.0L * twoPi * i / span));
            }
            break;
        default:
            std::fputs("Unknown window type", stderr);
            std::fflush(stderr);
            std::exit(1);
    }
}

}  // namespace melvora
