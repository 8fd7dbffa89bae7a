#include "fit/shape_bank.h"

#include "model/parameter_model.h"
#include "model/value_scales.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zx {
namespace {

// +6.0 dB: the shapes' reference boost.
constexpr int kReferenceGainIndex = 150;
constexpr double kReferenceGainDb = 6.0;
// Q 0.2 .. 36 in steps of about a fifth: the ladder the scan tries; the descent then moves
// through every Q index.
constexpr std::array<int, 27> kQLadder = {0,  1,  2,  3,  4,   5,   6,   7,   8,
                                          10, 12, 14, 17, 20,  24,  29,  35,  42,
                                          50, 60, 72, 86, 103, 123, 147, 165, 179};
// A sixth of an octave in frequency indexes (about 24 to the octave).
constexpr int kCandidateSpacing = 4;

} // namespace

void DrawBandCurve(const FitBand& band, ResponseCurve& curve) {
    if (band.gain == kZeroGainIndex) {
        curve.fill(0.0);
        return;
    }
    EqBandParams p;
    p.type = static_cast<std::uint8_t>(band.type);
    p.freqIndex = static_cast<std::uint8_t>(band.freq);
    p.qIndex = static_cast<std::uint8_t>(band.q);
    SetActiveGainIndex(p, static_cast<std::uint16_t>(band.gain));
    curve[0] = 0.0;
    ComputeBandCurve(p, PlaceMarker(p), curve);
}

std::vector<double> DrawnBandCurve(const FitBand& band) {
    ResponseCurve curve{};
    DrawBandCurve(band, curve);
    return {curve.begin(), curve.end()};
}

std::vector<double> FitBandCurve(const FitBand& band, const std::vector<int>& columns) {
    const std::vector<double> curve = DrawnBandCurve(band);
    std::vector<double> out(columns.size(), 0.0);
    for (std::size_t k = 0; k < columns.size(); ++k)
        out[k] = curve[static_cast<std::size_t>(columns[k])];
    return out;
}

ShapeBank::ShapeBank(const std::vector<int>& columns, bool centred) {
    for (std::size_t k = 0; k < columns.size(); k += 2) picked_.push_back(k);
    stride_ = picked_.size();
    std::vector<int> sampled;
    for (std::size_t k : picked_) sampled.push_back(columns[k]);
    const auto add = [&](const FitBand& band) {
        const std::vector<double> curve = FitBandCurve(band, sampled);
        double mean = 0.0;
        for (double v : curve) mean += v;
        mean /= static_cast<double>(curve.size());
        const double shapeMean = mean / kReferenceGainDb;
        if (!centred) mean = 0.0;
        double norm = 0.0;
        for (double v : curve) {
            const double u = (v - mean) / kReferenceGainDb;
            values_.push_back(static_cast<float>(u));
            norm += u * u;
        }
        shapes_.push_back({band, norm, shapeMean});
    };
    const std::size_t count = (kMaxFrequencyIndex + 1) * (kQLadder.size() + 2);
    shapes_.reserve(count);
    values_.reserve(count * stride_);
    for (int f = 0; f <= kMaxFrequencyIndex; ++f) {
        for (int q : kQLadder) add({static_cast<int>(EqType::Peq), f, q, kReferenceGainIndex});
        add({static_cast<int>(EqType::LowShelf), f, 4, kReferenceGainIndex});
        add({static_cast<int>(EqType::HighShelf), f, 4, kReferenceGainIndex});
    }
}

std::vector<ShapeBank::Candidate> ShapeBank::Best(const std::vector<double>& residual, bool shelves,
                                                  double lowDb, double highDb, double meanRoom,
                                                  int count) const {
    std::vector<float> r(stride_);
    for (std::size_t k = 0; k < stride_; ++k) r[k] = static_cast<float>(residual[picked_[k]]);
    // The best shape per type and frequency.
    constexpr int kTypes = 3;
    std::vector<Candidate> best(static_cast<std::size_t>(kTypes * (kMaxFrequencyIndex + 1)));
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
        const Shape& shape = shapes_[s];
        if (!shelves && shape.band.type != static_cast<int>(EqType::Peq)) continue;
        if (!(shape.norm > 1e-12)) continue;
        const float* u = values_.data() + s * stride_;
        float d0 = 0.0F, d1 = 0.0F, d2 = 0.0F, d3 = 0.0F;
        std::size_t k = 0;
        for (; k + 4 <= stride_; k += 4) {
            d0 += u[k] * r[k];
            d1 += u[k + 1] * r[k + 1];
            d2 += u[k + 2] * r[k + 2];
            d3 += u[k + 3] * r[k + 3];
        }
        for (; k < stride_; ++k) d0 += u[k] * r[k];
        const double dot = static_cast<double>(d0) + d1 + d2 + d3;
        double low = lowDb;
        double high = highDb;
        if (shape.mean > 1e-12) low = std::max(low, -meanRoom / shape.mean);
        if (shape.mean < -1e-12) high = std::min(high, -meanRoom / shape.mean);
        if (!(low <= high)) continue;
        const double gain = std::clamp(-dot / shape.norm, low, high);
        const double change = 2.0 * gain * dot + gain * gain * shape.norm;
        const auto at = static_cast<std::size_t>(shape.band.type) * (kMaxFrequencyIndex + 1) +
                        static_cast<std::size_t>(shape.band.freq);
        Candidate& slot = best[at];
        if (change < slot.change) slot = {shape.band, gain, change};
    }
    std::vector<Candidate> order;
    for (const Candidate& c : best)
        if (c.change < 0.0) order.push_back(c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Candidate& a, const Candidate& b) { return a.change < b.change; });
    std::vector<Candidate> out;
    for (const Candidate& c : order) {
        if (static_cast<int>(out.size()) == count) break;
        const bool near = std::any_of(out.begin(), out.end(), [&](const Candidate& o) {
            return o.band.type == c.band.type &&
                   std::abs(o.band.freq - c.band.freq) < kCandidateSpacing;
        });
        if (!near) out.push_back(c);
    }
    return out;
}

} // namespace zx
