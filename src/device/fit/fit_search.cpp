#include "fit/fit_search.h"

#include "fit/cost_kernel.h"

#include "model/value_scales.h"
#include "response/response_curves.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <system_error>
#include <thread>

namespace zx {
namespace {

// A move counts only when it lowers the cost by this share of it: an absolute threshold
// lets moves cycle on rounding noise where the errors are large.
constexpr double kRelativeGain = 1e-9;
constexpr int kBeamWidth = 4;
constexpr int kCandidatesPerState = 4;
constexpr int kMaxSweeps = 200;
// Pair moves: bands within two octaves (about 24 frequency indexes to the octave), each by a
// step of at most two indexes.
constexpr int kPairSpan = 48;
constexpr int kPairStepLimit = 2;
constexpr int kReplaceCandidates = 4;
constexpr int kMaxPolishRounds = 2;
// The continuous fit's filters keep their mean this far above the bands' lowest, so that
// rounding to the tables does not cross it.
constexpr double kMeanMargin = 0.1;
// Where the fit cannot see, the bands' mean may move by the most boost, and by this much even
// when no boost is allowed: cuts in the range have tails beyond it.
constexpr double kLeastOutsideMeanDb = 3.0;

bool Better(double candidate, double current) {
    return candidate < current - kRelativeGain * current;
}

std::uint32_t Key(const FitBand& band) {
    return static_cast<std::uint32_t>(band.type) << 24 |
           static_cast<std::uint32_t>(band.freq) << 16 | static_cast<std::uint32_t>(band.q) << 8 |
           static_cast<std::uint32_t>(band.gain);
}

int GainIndexOf(double db) {
    return static_cast<int>(std::lround((db - EqGainScale[0]) / 0.2));
}

} // namespace

FitProblem::FitProblem(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
                       const ResponseCurve& target, const FitOptions& options)
    : model_(&model), channel_(ch), options_(options) {
    const double boost = std::clamp(options.maxBoostDb, 0.0, EqGainScale[kMaxEqGainIndex]);
    maxGainIndex_ = std::clamp(static_cast<int>(std::floor((boost - EqGainScale[0]) / 0.2 + 1e-6)),
                               kZeroGainIndex, kMaxEqGainIndex);

    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    const ChannelParams& c = model.channels[static_cast<std::size_t>(ch)];
    RecomputeHighPass(model, ch, c.hpfType, *curves);
    RecomputeLowPass(model, ch, c.lpfType, *curves);
    for (int b = 0; b < kBandsPerChannel; ++b) {
        if (options.keep[static_cast<std::size_t>(b)]) {
            RecomputeBand(model, BandId(ch, b), *curves, markers);
        } else {
            free_.push_back(b);
        }
    }
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        const double hz = angles.frequency[i];
        if (hz < options.lowHz || hz > options.highHz) {
            outside_[hz < options.lowHz ? 0 : 1].push_back(static_cast<int>(i));
            continue;
        }
        if (!std::isfinite(measured[i]) || !std::isfinite(target[i])) continue;
        columns_.push_back(static_cast<int>(i));
        base_.push_back(measured[i] - target[i] + PlottedValue(*curves, model, ch, x));
        baseSum_ += base_.back();
    }
    // The channel's bands as they stand, and the limits widened to them once, before any
    // cost is taken: bands already lower, or further out beyond the range, than the limits
    // allow may stay so, not go further.
    start_.residual = base_;
    for (int b : free_) {
        const EqBandParams& p = model.band(ch, b);
        Place(start_, b, {p.type, p.freqIndex, p.qIndex, ActiveGainIndex(p)});
    }
    lowestMean_ = -std::max(boost, 0.0);
    if (!columns_.empty()) {
        double sum = 0.0;
        for (double v : start_.residual) sum += v;
        lowestMean_ =
            std::min(lowestMean_, (sum - baseSum_) / static_cast<double>(columns_.size()));
    }
    for (std::size_t side = 0; side < 2; ++side) {
        outsideLimit_[side] =
            std::max(boost, kLeastOutsideMeanDb) * static_cast<double>(outside_[side].size());
        outsideLimit_[side] = std::max(outsideLimit_[side], std::abs(start_.outside[side]));
    }
    start_.cost = Cost(start_.residual);
}

double FitProblem::Constrained(double sum, double squares) const {
    if (!options_.levelOffset || columns_.empty()) return squares;
    const auto n = static_cast<double>(columns_.size());
    if ((sum - baseSum_) / n < lowestMean_) return std::numeric_limits<double>::infinity();
    return std::max(0.0, squares - sum * sum / n);
}

bool FitProblem::MeanAllowed(const std::vector<double>& r) const {
    return std::isfinite(Cost(r));
}

double FitProblem::Cost(const std::vector<double>& r) const {
    double sum = 0.0;
    double squares = 0.0;
    for (double v : r) {
        sum += v;
        squares += v * v;
    }
    return Constrained(sum, squares);
}

double FitProblem::CostWith(const std::vector<double>& r, const std::vector<double>& out,
                            const std::vector<double>& in) const {
    const SumAndSquares s = ExchangedSums(r.data(), out.data(), in.data(), r.size());
    return Constrained(s.sum, s.squares);
}

std::shared_ptr<const FitProblem::Drawn> FitProblem::DrawnOf(const FitBand& band) const {
    // Bounded: when the recent curves fill their map, it becomes the older one and the
    // oldest are dropped; a curve found among the older is recent again.
    constexpr std::size_t kMaxRemembered = 4096;
    const std::uint32_t key = Key(band);
    auto& [recent, older] = drawn_;
    if (const auto it = recent.find(key); it != recent.end()) return it->second;
    std::shared_ptr<const Drawn> drawn;
    if (const auto it = older.find(key); it != older.end()) {
        drawn = it->second;
    } else {
        ResponseCurve full;
        DrawBandCurve(band, full);
        auto fresh = std::make_shared<Drawn>();
        fresh->columns.reserve(columns_.size());
        for (int i : columns_) fresh->columns.push_back(full[static_cast<std::size_t>(i)]);
        for (std::size_t side = 0; side < 2; ++side) {
            for (int i : outside_[side]) fresh->outside[side] += full[static_cast<std::size_t>(i)];
        }
        drawn = std::move(fresh);
    }
    if (recent.size() >= kMaxRemembered) {
        older = std::move(recent);
        recent.clear();
        recent.reserve(kMaxRemembered);
    }
    recent.emplace(key, drawn);
    return drawn;
}

std::shared_ptr<const std::vector<double>> FitProblem::Curve(const FitBand& band) const {
    std::shared_ptr<const Drawn> drawn = DrawnOf(band);
    const std::vector<double>* columns = &drawn->columns;
    return {std::move(drawn), columns};
}

OutsideSums FitProblem::OutsideSum(const FitBand& band) const {
    return DrawnOf(band)->outside;
}

bool FitProblem::OutsideAllowed(const OutsideSums& sums) const {
    return std::abs(sums[0]) <= outsideLimit_[0] * (1.0 + kRelativeGain) &&
           std::abs(sums[1]) <= outsideLimit_[1] * (1.0 + kRelativeGain);
}

FitBand FitProblem::WithinOutsideLimit(const OutsideSums& others, FitBand band) const {
    const OutsideSums sums = OutsideSum(band);
    if (OutsideAllowed(others + sums)) return band;
    // A band's curve grows about in proportion to its gain: start from the gain that just
    // fits, then step toward 0 dB until it does.
    double share = 1.0;
    for (std::size_t side = 0; side < 2; ++side) {
        if (sums[side] == 0.0) continue;
        const double room = outsideLimit_[side] + (sums[side] < 0.0 ? others[side] : -others[side]);
        share = std::min(share, room / std::abs(sums[side]));
    }
    band.gain =
        std::clamp(GainIndexOf(EqGainAt(band.gain) * std::max(share, 0.0)), 0, maxGainIndex_);
    constexpr int kMaxSteps = 16;
    for (int step = 0; step < kMaxSteps && band.gain != kZeroGainIndex; ++step) {
        if (OutsideAllowed(others + OutsideSum(band))) return band;
        band.gain += band.gain < kZeroGainIndex ? 1 : -1;
    }
    band.gain = kZeroGainIndex;
    return band;
}

FitState FitProblem::Start() const {
    return start_;
}

void FitProblem::Place(FitState& state, int slot, const FitBand& band) const {
    const auto k = static_cast<std::size_t>(slot);
    std::shared_ptr<const std::vector<double>> curve = Curve(band);
    if (state.placed[k]) {
        const std::vector<double>& old = *state.curves[k];
        for (std::size_t i = 0; i < old.size(); ++i) state.residual[i] -= old[i];
        state.outside = state.outside - OutsideSum(state.bands[k]);
    }
    state.outside = state.outside + OutsideSum(band);
    for (std::size_t i = 0; i < curve->size(); ++i) state.residual[i] += (*curve)[i];
    state.bands[k] = band;
    state.curves[k] = std::move(curve);
    state.placed[k] = true;
    state.cost = Cost(state.residual);
}

std::vector<FitBand> FitProblem::Moves(const FitBand& current, bool shelves, int stepLimit) const {
    std::vector<FitBand> moves;
    const bool peaking = current.type == static_cast<int>(EqType::Peq);
    for (int step : {-8, -4, -2, -1, 1, 2, 4, 8}) {
        if (std::abs(step) > stepLimit) continue;
        FitBand m = current;
        m.freq += step;
        if (m.freq >= 0 && m.freq <= kMaxFrequencyIndex) moves.push_back(m);
        if (peaking) {
            m = current;
            m.q += step;
            if (m.q >= 0 && m.q <= kMaxQIndex) moves.push_back(m);
        }
    }
    for (int step : {-5, -2, -1, 1, 2, 5}) {
        if (std::abs(step) > stepLimit) continue;
        FitBand m = current;
        m.gain += step;
        if (m.gain >= 0 && m.gain <= maxGainIndex_) moves.push_back(m);
    }
    // A band that moves in frequency often wants its width or gain to follow.
    for (int df : {-1, 1}) {
        for (int dq : {-1, 1}) {
            FitBand m = current;
            m.freq += df;
            m.gain += dq;
            if (m.freq >= 0 && m.freq <= kMaxFrequencyIndex && m.gain >= 0 &&
                m.gain <= maxGainIndex_)
                moves.push_back(m);
            if (!peaking) continue;
            m = current;
            m.q += dq;
            m.gain += df;
            if (m.q >= 0 && m.q <= kMaxQIndex && m.gain >= 0 && m.gain <= maxGainIndex_)
                moves.push_back(m);
        }
    }
    for (int type = 0; type < 3 && shelves; ++type) {
        if (type == current.type) continue;
        FitBand m = current;
        m.type = type;
        moves.push_back(m);
    }
    return moves;
}

// Moves of one band at a time, each band taking its best move, until no move lowers the
// cost.
bool FitProblem::Descend(FitState& state, bool shelves, int only) const {
    bool movedAtAll = false;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        bool moved = false;
        for (int b : free_) {
            const auto k = static_cast<std::size_t>(b);
            if (!state.placed[k] || (only >= 0 && b != only)) continue;
            const FitBand current = state.bands[k];
            double bestCost = state.cost;
            std::optional<FitBand> best;
            const OutsideSums outsideOthers = state.outside - OutsideSum(current);
            for (const FitBand& m : Moves(current, shelves, 8)) {
                const std::shared_ptr<const Drawn> drawn = DrawnOf(m);
                if (!OutsideAllowed(outsideOthers + drawn->outside)) continue;
                const double cost = CostWith(state.residual, *state.curves[k], drawn->columns);
                if (Better(cost, bestCost)) {
                    bestCost = cost;
                    best = m;
                }
            }
            if (!best) continue;
            Place(state, b, *best);
            moved = true;
        }
        movedAtAll = movedAtAll || moved;
        if (!moved) break;
    }
    return movedAtAll;
}

bool FitProblem::PairMove(FitState& state) const {
    struct Pair {
        FitBand first;
        FitBand second;
    };
    bool movedAtAll = false;
    for (std::size_t a = 0; a < free_.size(); ++a) {
        for (std::size_t b = a + 1; b < free_.size(); ++b) {
            const auto i = static_cast<std::size_t>(free_[a]);
            const auto j = static_cast<std::size_t>(free_[b]);
            if (!state.placed[i] || !state.placed[j]) continue;
            if (state.bands[i].gain == kZeroGainIndex || state.bands[j].gain == kZeroGainIndex)
                continue;
            if (std::abs(state.bands[i].freq - state.bands[j].freq) > kPairSpan) continue;
            const OutsideSums others =
                state.outside - OutsideSum(state.bands[i]) - OutsideSum(state.bands[j]);
            double bestCost = state.cost;
            std::optional<Pair> best;
            std::vector<double> r(state.residual.size());
            for (const FitBand& mi : Moves(state.bands[i], false, kPairStepLimit)) {
                const std::vector<double>& in = *Curve(mi);
                const std::vector<double>& out = *state.curves[i];
                for (std::size_t c = 0; c < r.size(); ++c)
                    r[c] = state.residual[c] - out[c] + in[c];
                const OutsideSums withFirst = others + OutsideSum(mi);
                for (const FitBand& mj : Moves(state.bands[j], false, kPairStepLimit)) {
                    const std::shared_ptr<const Drawn> drawn = DrawnOf(mj);
                    if (!OutsideAllowed(withFirst + drawn->outside)) continue;
                    const double cost = CostWith(r, *state.curves[j], drawn->columns);
                    if (Better(cost, bestCost)) {
                        bestCost = cost;
                        best = Pair{mi, mj};
                    }
                }
            }
            if (!best) continue;
            Place(state, free_[a], best->first);
            Place(state, free_[b], best->second);
            movedAtAll = true;
        }
    }
    return movedAtAll;
}

bool FitProblem::Replace(FitState& state, bool shelves) const {
    bool replacedAtAll = false;
    for (int b : free_) {
        const auto k = static_cast<std::size_t>(b);
        if (!state.placed[k]) continue;
        FitState without = state;
        FitBand flat = state.bands[k];
        flat.gain = kZeroGainIndex;
        Place(without, b, flat);
        if (!MeanAllowed(without.residual)) continue;
        // Each candidate settles alone first; only the best is descended with the others.
        std::optional<FitState> best;
        for (const FitBand& band : Placements(without, shelves, kReplaceCandidates)) {
            FitState child = without;
            Place(child, b, band);
            Descend(child, shelves, b);
            if (child.bands[k] == state.bands[k]) continue;
            if (!best || Better(child.cost, best->cost)) best = std::move(child);
        }
        if (!best) continue;
        Descend(*best, shelves);
        if (Better(best->cost, state.cost)) {
            state = std::move(*best);
            replacedAtAll = true;
        }
    }
    return replacedAtAll;
}

void FitProblem::Polish(FitState& state, bool shelves) const {
    Descend(state, shelves);
    for (int round = 0; round < kMaxPolishRounds; ++round) {
        bool moved = PairMove(state);
        if (moved) Descend(state, shelves);
        if (Replace(state, shelves)) moved = true;
        if (!moved) break;
    }
}

FitState FitProblem::DescendOnly(FitState state) const {
    Descend(state, options_.shelves);
    return state;
}

std::vector<FitBand> FitProblem::Placements(const FitState& state, bool shelves, int count) const {
    const double low = EqGainScale[0];
    const double high = EqGainAt(maxGainIndex_);
    double room = std::numeric_limits<double>::infinity();
    if (options_.levelOffset) {
        double sum = 0.0;
        for (double v : state.residual) sum += v;
        room = std::max(0.0, (sum - baseSum_) / static_cast<double>(columns_.size()) - lowestMean_);
    }
    std::vector<FitBand> out;
    for (const ShapeBank::Candidate& c :
         bank_->Best(state.residual, shelves, low, high, room, count)) {
        FitBand band = c.band;
        band.gain = std::clamp(GainIndexOf(c.gain), 0, maxGainIndex_);
        band = WithinOutsideLimit(state.outside, band);
        if (band.gain != kZeroGainIndex) out.push_back(band);
    }
    return out;
}

std::vector<FitState> FitProblem::Children(const FitState& state, bool shelves) const {
    std::vector<FitState> out;
    const auto slot = std::find_if(free_.begin(), free_.end(), [&](int b) {
        return !state.placed[static_cast<std::size_t>(b)];
    });
    if (slot == free_.end()) return out;
    for (const FitBand& band : Placements(state, shelves, kCandidatesPerState)) {
        FitState child = state;
        Place(child, *slot, band);
        Descend(child, shelves, *slot);
        if (Better(child.cost, state.cost)) out.push_back(std::move(child));
    }
    return out;
}

FitState FitProblem::Empty() const {
    FitState empty;
    empty.residual = base_;
    empty.cost = Cost(base_);
    return empty;
}

FitState FitProblem::Beam(bool shelves) const {
    FitState best = Empty();
    std::vector<FitState> beam = {best};
    for (std::size_t step = 0; step < free_.size(); ++step) {
        std::vector<FitState> children;
        for (const FitState& s : beam) {
            for (FitState& c : Children(s, shelves)) children.push_back(std::move(c));
        }
        if (children.empty()) break;
        std::stable_sort(children.begin(), children.end(),
                         [](const FitState& a, const FitState& b) { return a.cost < b.cost; });
        beam.clear();
        for (FitState& c : children) {
            if (static_cast<int>(beam.size()) == kBeamWidth) break;
            const bool same = std::any_of(beam.begin(), beam.end(), [&](const FitState& o) {
                return o.bands == c.bands && o.placed == c.placed;
            });
            if (!same) beam.push_back(std::move(c));
        }
        // Only the kept ones descend with every band.
        for (FitState& s : beam) Descend(s, shelves);
        std::stable_sort(beam.begin(), beam.end(),
                         [](const FitState& a, const FitState& b) { return a.cost < b.cost; });
        if (Better(beam.front().cost, best.cost)) best = beam.front();
    }
    Polish(best, shelves);
    return best;
}

FitBand FitProblem::Converted(const CookbookFilter& filter,
                              const std::vector<double>& curve) const {
    const auto distance = [&](const FitBand& band) {
        const std::vector<double>& drawn = *Curve(band);
        double squares = 0.0;
        for (std::size_t i = 0; i < drawn.size(); ++i)
            squares += (drawn[i] - curve[i]) * (drawn[i] - curve[i]);
        return squares;
    };
    // The nearest table values, the Q at the device's width (a device band is twice as wide
    // as a cookbook filter of the same Q), then a descent on the curves' distance.
    const auto nearest = [](double value, auto at, int last) {
        int best = 0;
        for (int i = 1; i <= last; ++i) {
            if (std::abs(at(i) - value) < std::abs(at(best) - value)) best = i;
        }
        return best;
    };
    const double deviceQ = 1.0 / (2.0 * std::sinh(std::asinh(1.0 / (2.0 * filter.q)) / 2.0));
    FitBand band{static_cast<int>(EqType::Peq),
                 nearest(
                     std::log2(filter.hz), [](int i) { return std::log2(FrequencyAt(i)); },
                     kMaxFrequencyIndex),
                 nearest(
                     std::log2(deviceQ), [](int i) { return std::log2(QAt(i)); }, kMaxQIndex),
                 std::clamp(GainIndexOf(filter.gainDb), 0, maxGainIndex_)};
    double now = distance(band);
    for (int step = 0; step < kMaxSweeps; ++step) {
        std::optional<FitBand> best;
        for (const FitBand& m : Moves(band, false, 2)) {
            const double d = distance(m);
            if (d < now) {
                now = d;
                best = m;
            }
        }
        if (!best) break;
        band = *best;
    }
    return band;
}

FitBand FitProblem::WithinLimits(const FitState& state, FitBand band) const {
    band = WithinOutsideLimit(state.outside, band);
    if (!options_.levelOffset) return band;
    double sum = -baseSum_;
    for (double v : state.residual) sum += v;
    const auto n = static_cast<double>(columns_.size());
    while (band.gain != kZeroGainIndex) {
        double with = sum;
        for (double v : *Curve(band)) with += v;
        if (with / n >= lowestMean_) break;
        band.gain += band.gain < kZeroGainIndex ? 1 : -1;
    }
    return band;
}

FitState FitProblem::FromCookbook() const {
    ContinuousProblem p;
    const ColumnAngles& angles = PlotColumnAngles();
    for (int i : columns_) p.hz.push_back(angles.frequency[static_cast<std::size_t>(i)]);
    p.residual = base_;
    p.lowDb = EqGainScale[0];
    p.highDb = EqGainAt(maxGainIndex_);
    p.lowHz = std::max(FrequencyAt(0), options_.lowHz / 2.0);
    p.highHz = std::min(FrequencyAt(kMaxFrequencyIndex), options_.highHz * 2.0);
    p.centred = options_.levelOffset;
    if (p.centred) p.lowestMean = lowestMean_ + kMeanMargin;
    std::vector<CookbookFilter> filters = FitCookbookFilters(p, static_cast<int>(free_.size()));
    // The largest filters first; each converted against its own curve less what the bands
    // converted so far miss of theirs, so that neighbours make up each other's rounding.
    std::stable_sort(filters.begin(), filters.end(), [](const auto& a, const auto& b) {
        return std::abs(a.gainDb) > std::abs(b.gainDb);
    });
    FitState state = Empty();
    std::vector<double> missed(columns_.size(), 0.0);
    std::size_t slot = 0;
    for (const CookbookFilter& f : filters) {
        const std::vector<double> curve = CookbookCurve(f, p.hz);
        std::vector<double> wanted = curve;
        for (std::size_t i = 0; i < wanted.size(); ++i) wanted[i] -= missed[i];
        const FitBand band = WithinLimits(state, Converted(f, wanted));
        if (band.gain == kZeroGainIndex) continue;
        Place(state, free_[slot++], band);
        const std::vector<double>& drawn = *state.curves[static_cast<std::size_t>(free_[slot - 1])];
        for (std::size_t i = 0; i < missed.size(); ++i) missed[i] += drawn[i] - curve[i];
    }
    Polish(state, options_.shelves);
    return state;
}

FitState FitProblem::Search(unsigned threads) {
    if (!bank_) bank_ = std::make_shared<const ShapeBank>(columns_, options_.levelOffset);
    std::vector<std::function<FitState(const FitProblem&)>> starts;
    if (options_.shelves) starts.emplace_back([](const FitProblem& p) { return p.Beam(true); });
    starts.emplace_back([](const FitProblem& p) { return p.Beam(false); });
    starts.emplace_back([](const FitProblem& p) { return p.FromCookbook(); });
    // Each start on a copy of the problem, so that no two threads share its curves; the
    // starts are taken in order and their results compared in order.
    std::vector<FitState> results(starts.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        const FitProblem copy = *this;
        for (std::size_t i = next++; i < starts.size(); i = next++) results[i] = starts[i](copy);
    };
    if (threads == 0) threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < std::min<std::size_t>(threads, starts.size()); ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no thread to be had: this one takes the remaining starts
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
    FitState best = Empty();
    for (FitState& r : results) {
        if (Better(r.cost, best.cost)) best = std::move(r);
    }
    return best;
}

std::array<EqBandParams, kBandsPerChannel> FitProblem::Bands(const FitState& state) const {
    std::array<EqBandParams, kBandsPerChannel> out{};
    for (int b = 0; b < kBandsPerChannel; ++b)
        out[static_cast<std::size_t>(b)] = model_->band(channel_, b);
    // The placed bands in order of frequency, so that band 1 is the lowest; free bands left
    // over are made flat where they are.
    std::vector<FitBand> placed;
    for (int b : free_) {
        const auto k = static_cast<std::size_t>(b);
        if (state.placed[k] && state.bands[k].gain != kZeroGainIndex)
            placed.push_back(state.bands[k]);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const FitBand& a, const FitBand& b) { return a.freq < b.freq; });
    std::size_t next = 0;
    for (int b : free_) {
        EqBandParams& p = out[static_cast<std::size_t>(b)];
        if (next < placed.size()) {
            const FitBand& f = placed[next++];
            p.type = static_cast<std::uint8_t>(f.type);
            p.freqIndex = static_cast<std::uint8_t>(f.freq);
            if (f.type == static_cast<int>(EqType::Peq)) p.qIndex = static_cast<std::uint8_t>(f.q);
            SetActiveGainIndex(p, static_cast<std::uint16_t>(f.gain));
        } else {
            SetActiveGainIndex(p, kZeroGainIndex);
        }
        RefreshHalves(p);
    }
    return out;
}

FitReport FitProblem::Report(const FitState& state) const {
    FitReport r;
    r.columns = columns();
    if (state.residual.empty()) return r;
    double mean = 0.0;
    for (double v : state.residual) mean += v;
    mean /= static_cast<double>(state.residual.size());
    if (!options_.levelOffset) mean = 0.0;
    double squares = 0.0;
    for (double v : state.residual) {
        squares += (v - mean) * (v - mean);
        r.maxAfter = std::max(r.maxAfter, std::abs(v - mean));
    }
    r.rmsAfter = std::sqrt(squares / static_cast<double>(state.residual.size()));
    r.offsetDb = -mean;
    return r;
}

} // namespace zx
