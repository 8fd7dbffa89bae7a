#pragma once

#include <cstddef>

namespace zx {

// Over n columns, v = r − out + in: the sum of v and the sum of its squares, in vectors of
// the widest unit the processor runs (the search's innermost loop).
struct SumAndSquares {
    double sum = 0.0;
    double squares = 0.0;
};
SumAndSquares ExchangedSums(const double* r, const double* out, const double* in, std::size_t n);

} // namespace zx
