#include "analysis/complex_fft.h"

#include "analysis/fft_plan.h"

namespace melvora {

void ComplexFft(float* data, int n, int sign) {
    FftPlan plan;
    if (!plan.Configure(n)) {
        return;
    }
    plan.Transform(data, sign);
}

}  // namespace melvora
