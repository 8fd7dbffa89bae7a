// Written once with Highway's portable vectors and compiled for every vector unit; the first
// call picks the widest one the processor runs, as the curve loop does.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "fit/cost_kernel.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "fit/cost_kernel.h"

HWY_BEFORE_NAMESPACE();
namespace zx::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

SumAndSquares Sums(const double* HWY_RESTRICT r, const double* HWY_RESTRICT out,
                   const double* HWY_RESTRICT in, std::size_t n) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    auto sum = hn::Zero(d);
    auto squares = hn::Zero(d);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const auto v =
            hn::Add(hn::Sub(hn::LoadU(d, r + i), hn::LoadU(d, out + i)), hn::LoadU(d, in + i));
        sum = hn::Add(sum, v);
        squares = hn::MulAdd(v, v, squares);
    }
    SumAndSquares s{hn::GetLane(hn::SumOfLanes(d, sum)), hn::GetLane(hn::SumOfLanes(d, squares))};
    for (; i < n; ++i) {
        const double v = r[i] - out[i] + in[i];
        s.sum += v;
        s.squares += v * v;
    }
    return s;
}

} // namespace zx::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace zx {

HWY_EXPORT(Sums);

SumAndSquares ExchangedSums(const double* r, const double* out, const double* in, std::size_t n) {
    return HWY_DYNAMIC_DISPATCH(Sums)(r, out, in, n);
}

} // namespace zx
#endif
