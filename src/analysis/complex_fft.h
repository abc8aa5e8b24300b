#pragma once

namespace melvora {

// Transforms n complex values in place (2n floats, real part first, then imaginary part).
// sign == -1 is the forward transform X[k] = sum_j x[j] exp(-2 pi i jk/n); any other value the
// backward one with exp(+2 pi i jk/n). Unscaled; computed in double precision. n < 1 does
// nothing, n == 1 leaves the value as it is. Builds a fresh plan (and allocates) on every
// call: code that transforms once per block keeps an FftPlan instead.
void ComplexFft(float* data, int n, int sign);

}  // namespace melvora
