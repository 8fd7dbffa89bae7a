#pragma once

#include "fit/band_fit.h"
#include "fit/continuous_fit.h"
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

    int columns() const { return static_cast<int>(columns_.size()); }
    // The channel's bands as the model has them.
    FitState Start() const;
    // The best of several starts, each polished by moves of one and two bands and by placing
    // each band again against the others: a beam of greedy placements with a joint descent
    // after each band (shelves allowed, peaking only), and a continuous cookbook fit converted
    // to the device's bands. The starts run on `threads` threads (0: one per core, at most
    // one per start); the answer does not depend on how many.
    FitState Search(unsigned threads = 0);
    // A joint descent from the given state only.
    FitState DescendOnly(FitState state) const;

    std::array<EqBandParams, kBandsPerChannel> Bands(const FitState& state) const;
    FitReport Report(const FitState& state) const;

    // The continuous filter as the device band (of the bands the search tries) whose drawn
    // curve at the fit's columns is nearest to `curve`, the filter's own there.
    FitBand Converted(const CookbookFilter& filter, const std::vector<double>& curve) const;
    // Moves of two bands at once where each band alone is at its best: the pairs whose
    // frequencies lie within two octaves, each band by a step in frequency, Q or gain.
    bool PairMove(FitState& state) const;
    // Each band taken out and placed again against the others' sum, from the bank's best
    // shapes for what remains, with a joint descent; kept where the cost falls.
    bool Replace(FitState& state, bool shelves) const;

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
    bool MeanAllowed(const std::vector<double>& residual) const;
    // The band, or the band with less gain, such that the placed bands' sum beyond the range
    // (`others` without it) stays within the limit; 0 dB when no gain does.
    FitBand WithinOutsideLimit(const OutsideSums& others, FitBand band) const;
    // The band, or the band with less gain, such that it keeps both limits (beyond the range
    // and the mean) when added to the state.
    FitBand WithinLimits(const FitState& state, FitBand band) const;
    void Place(FitState& state, int slot, const FitBand& band) const;
    // Each band's moves of one step (frequency, Q, gain, two of them together, type).
    std::vector<FitBand> Moves(const FitBand& current, bool shelves, int stepLimit) const;
    // Moves of one band at a time (of band `only` alone when given) until none helps.
    bool Descend(FitState& state, bool shelves, int only = -1) const;
    // Descent, pair moves and re-placing in turn until none lowers the cost.
    void Polish(FitState& state, bool shelves) const;
    // Bands for the next free slot: the bank's best shapes for the residual, in the limits.
    std::vector<FitBand> Placements(const FitState& state, bool shelves, int count) const;
    std::vector<FitState> Children(const FitState& state, bool shelves) const;
    FitState Beam(bool shelves) const;
    FitState FromCookbook() const;
    FitState Empty() const;

    const ParameterModel* model_;
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
    double lowestMean_ = 0.0;
    // Beyond each end of the range, where the fit cannot see, the bands may not raise or
    // lower the channel's mean by more than the most boost (at least 3 dB) either: a shelf at the
    // range's edge could otherwise cut everything beyond it by 20 dB unseen.
    std::array<std::vector<int>, 2> outside_; // curve indexes below and above the range
    OutsideSums outsideLimit_{};
    FitState start_; // the channel's bands as the model has them
    std::shared_ptr<const ShapeBank> bank_;
    // A band's curve at the compared columns and its sums beyond the range, from one drawing.
    struct Drawn {
        std::vector<double> columns;
        OutsideSums outside{};
    };
    std::shared_ptr<const Drawn> DrawnOf(const FitBand& band) const;
    // Each copy of the problem (one per thread) remembers curves of its own: the recent ones
    // and the older ones.
    mutable std::array<std::unordered_map<std::uint32_t, std::shared_ptr<const Drawn>>, 2> drawn_;
};

} // namespace zx
