#pragma once

#include "fit/band_fit.h"
#include "fit/shape_bank.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zx {

// A partial or whole solution: the free bands placed so far with their drawn curves, and the
// residual (measured + drawn − target) at the fit's columns.
// A band's or a state's curves summed beyond each end of the fit range: below, above.
using OutsideSums = std::array<double, 2>;

inline OutsideSums operator+(const OutsideSums& a, const OutsideSums& b) {
    return {a[0] + b[0], a[1] + b[1]};
}
inline OutsideSums operator-(const OutsideSums& a, const OutsideSums& b) {
    return {a[0] - b[0], a[1] - b[1]};
}

struct FitState {
    std::array<FitBand, kBandsPerChannel> bands{};
    std::array<bool, kBandsPerChannel> placed{};
    // Curves are shared, never changed: copying a state copies no curve.
    std::array<std::shared_ptr<const std::vector<double>>, kBandsPerChannel> curves;
    std::vector<double> residual;
    OutsideSums outside{}; // the placed bands' curves summed beyond the range
    double cost = 0.0;     // squared error summed over the columns (after the best offset)
};

// One channel's fit: the columns, the fixed part of the response (crossovers, gain, kept
// bands) and the search over the free bands.
class FitProblem {
  public:
    FitProblem(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
               const ResponseCurve& target, const FitOptions& options);
    ~FitProblem();

    int columns() const { return static_cast<int>(columns_.size()); }
    // The channel's bands as the model has them.
    FitState Start() const;
    // Greedy placement with a joint descent after each band, as a beam of partial solutions
    // from two starts (shelves allowed, peaking only).
    FitState Search();
    // A joint descent from the given state only.
    FitState DescendOnly(FitState state) const;

    std::array<EqBandParams, kBandsPerChannel> Bands(const FitState& state) const;
    FitReport Report(const FitState& state) const;

  private:
    double Cost(const std::vector<double>& residual) const;
    double Constrained(double sum, double squares) const;
    // The cost with one band's curve exchanged for another, without building the residual.
    double CostWith(const std::vector<double>& residual, const std::vector<double>& out,
                    const std::vector<double>& in) const;
    // A band's curve at the fit's columns, remembered: a descent tries the same neighbours
    // sweep after sweep.
    std::shared_ptr<const std::vector<double>> Curve(const FitBand& band) const;
    // A band's curve summed over the columns the fit does not compare, remembered likewise.
    OutsideSums OutsideSum(const FitBand& band) const;
    bool OutsideAllowed(const OutsideSums& sums) const;
    // The band, or the band with less gain, such that the placed bands' sum beyond the range
    // (`others` without it) stays within the limit; 0 dB when no gain does.
    FitBand WithinOutsideLimit(const OutsideSums& others, FitBand band) const;
    void Place(FitState& state, int slot, const FitBand& band) const;
    bool Descend(FitState& state, bool shelves) const;
    std::vector<FitState> Children(const FitState& state, bool shelves);

    const ParameterModel& model_;
    ChannelId channel_;
    FitOptions options_;
    std::vector<int> columns_; // curve indexes compared
    std::vector<double> base_; // measured − target + the fixed curves and gain
    std::vector<int> free_;    // band numbers the fit sets
    int maxGainIndex_ = 0;
    // With the level offset free, a band could boost by lowering everything else (a shelf
    // below the range cutting 20 dB); the mean of the fitted bands over the range may not
    // fall below this, -max boost (or where the channel's bands already are).
    double baseSum_ = 0.0;
    mutable double lowestMean_ = 0.0;
    // Beyond each end of the range, where the fit cannot see, the bands may not raise or
    // lower the channel's mean by more than the most boost (at least 3 dB) either: a shelf at the
    // range's edge could otherwise cut everything beyond it by 20 dB unseen.
    std::array<std::vector<int>, 2> outside_; // curve indexes below and above the range
    mutable OutsideSums outsideLimit_{};
    std::unique_ptr<ShapeBank> bank_;
    // A band's curve at the compared columns and its sums beyond the range, from one drawing.
    struct Drawn {
        std::vector<double> columns;
        OutsideSums outside{};
    };
    std::shared_ptr<const Drawn> DrawnOf(const FitBand& band) const;
    mutable std::unordered_map<std::uint32_t, std::shared_ptr<const Drawn>> drawn_;
};

} // namespace zx
