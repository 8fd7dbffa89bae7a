#pragma once

#include "response/graph_geometry.h"

#include <array>
#include <vector>

namespace zx {

// EqGainScale index of 0.0 dB: a flat band.
inline constexpr int kZeroGainIndex = 120;

// A band as the search moves it: table indexes only.
struct FitBand {
    int type = 0;   // EqType
    int freq = 0;   // FrequencyScale index
    int q = 4;      // QScale index (peaking only)
    int gain = 120; // EqGainScale index
    friend bool operator==(const FitBand&, const FitBand&) = default;
};

// The drawn curve of a band at every curve index (plot column − the first).
std::vector<double> DrawnBandCurve(const FitBand& band);
// The same into `curve`, without an allocation (only its plot columns are written).
void DrawBandCurve(const FitBand& band, ResponseCurve& curve);
// The drawn curve of a band at the fit's columns.
std::vector<double> FitBandCurve(const FitBand& band, const std::vector<int>& columns);

// Drawn band shapes per type, frequency index and a ladder of Q indexes, at a reference boost,
// on every other fit column. Each is scored against a residual at its least-squares gain (the
// drawn curves are odd in gain, so one shape serves cuts and boosts), which makes scanning
// thousands of them cheap; the search then places the best with exact curves.
class ShapeBank {
  public:
    ShapeBank(const std::vector<int>& columns, bool centred);

    struct Candidate {
        FitBand band;
        double gain = 0.0;   // dB, least-squares, within the limits
        double change = 0.0; // change of the squared error, negative when it helps
    };
    // The best `count` shapes for the residual (at the fit's columns), gains limited to
    // [lowDb, highDb] and so that the shape lowers the mean over the columns by at most
    // `meanRoom` dB; no two of one type closer than a sixth of an octave.
    std::vector<Candidate> Best(const std::vector<double>& residual, bool shelves, double lowDb,
                                double highDb, double meanRoom, int count) const;

  private:
    struct Shape {
        FitBand band;
        double norm = 0.0; // squared length of the unit shape
        double mean = 0.0; // its mean over the columns, per dB
    };
    std::vector<Shape> shapes_;
    std::vector<float> values_;       // shapes_.size() rows of `stride_` values, per dB of gain
    std::vector<std::size_t> picked_; // fit-column positions the shapes are sampled at
    std::size_t stride_ = 0;
};

} // namespace zx
