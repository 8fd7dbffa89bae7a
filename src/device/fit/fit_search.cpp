#include "fit/fit_search.h"

#include "fit/cost_kernel.h"

#include "model/value_scales.h"
#include "response/response_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zx {
namespace {

// A move counts only when it lowers the cost by this share of it: an absolute threshold
// lets moves cycle on rounding noise where the errors are large.
constexpr double kRelativeGain = 1e-9;
constexpr int kBeamWidth = 4;
constexpr int kCandidatesPerState = 4;
constexpr int kMaxSweeps = 200;
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
    : model_(model), channel_(ch), options_(options) {
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
    lowestMean_ = -std::max(boost, 0.0);
    for (std::size_t side = 0; side < 2; ++side) {
        outsideLimit_[side] =
            std::max(boost, kLeastOutsideMeanDb) * static_cast<double>(outside_[side].size());
    }
}

FitProblem::~FitProblem() = default;

double FitProblem::Constrained(double sum, double squares) const {
    if (!options_.levelOffset || columns_.empty()) return squares;
    const auto n = static_cast<double>(columns_.size());
    if ((sum - baseSum_) / n < lowestMean_) return std::numeric_limits<double>::infinity();
    return std::max(0.0, squares - sum * sum / n);
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
    // Bounded: a long search starts afresh rather than holding every curve it ever tried.
    constexpr std::size_t kMaxRemembered = 4096;
    const std::uint32_t key = Key(band);
    if (const auto it = drawn_.find(key); it != drawn_.end()) return it->second;
    if (drawn_.size() >= kMaxRemembered) drawn_.clear();
    const std::vector<double> full = DrawnBandCurve(band);
    auto drawn = std::make_shared<Drawn>();
    drawn->columns.reserve(columns_.size());
    for (int i : columns_) drawn->columns.push_back(full[static_cast<std::size_t>(i)]);
    for (std::size_t side = 0; side < 2; ++side) {
        for (int i : outside_[side]) drawn->outside[side] += full[static_cast<std::size_t>(i)];
    }
    drawn_.emplace(key, drawn);
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
    FitState s;
    s.residual = base_;
    for (int b : free_) {
        const EqBandParams& p = model_.band(channel_, b);
        const auto k = static_cast<std::size_t>(b);
        s.bands[k] = {p.type, p.freqIndex, p.qIndex, ActiveGainIndex(p)};
        s.placed[k] = true;
        s.curves[k] = Curve(s.bands[k]);
        s.outside = s.outside + OutsideSum(s.bands[k]);
        const std::vector<double>& curve = *s.curves[k];
        for (std::size_t i = 0; i < s.residual.size(); ++i) s.residual[i] += curve[i];
    }
    if (!columns_.empty()) {
        double sum = 0.0;
        for (double v : s.residual) sum += v;
        lowestMean_ =
            std::min(lowestMean_, (sum - baseSum_) / static_cast<double>(columns_.size()));
    }
    // Bands already further out than the limit may stay so, not go further.
    for (std::size_t side = 0; side < 2; ++side)
        outsideLimit_[side] = std::max(outsideLimit_[side], std::abs(s.outside[side]));
    s.cost = Cost(s.residual);
    return s;
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

// Moves of one band at a time, each band taking its best move, until no move lowers the
// cost: frequency, gain and Q by small and larger steps, and the other types.
bool FitProblem::Descend(FitState& state, bool shelves) const {
    bool movedAtAll = false;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        bool moved = false;
        for (int b : free_) {
            const auto k = static_cast<std::size_t>(b);
            if (!state.placed[k]) continue;
            const FitBand current = state.bands[k];
            std::vector<FitBand> moves;
            for (int step : {-8, -4, -2, -1, 1, 2, 4, 8}) {
                FitBand m = current;
                m.freq += step;
                if (m.freq >= 0 && m.freq <= kMaxFrequencyIndex) moves.push_back(m);
                if (current.type == static_cast<int>(EqType::Peq)) {
                    m = current;
                    m.q += step;
                    if (m.q >= 0 && m.q <= kMaxQIndex) moves.push_back(m);
                }
            }
            for (int step : {-5, -2, -1, 1, 2, 5}) {
                FitBand m = current;
                m.gain += step;
                if (m.gain >= 0 && m.gain <= maxGainIndex_) moves.push_back(m);
            }
            // Pairs: a band that moves in frequency often wants its width or gain to follow.
            for (int df : {-1, 1}) {
                for (int dq : {-1, 1}) {
                    FitBand m = current;
                    m.freq += df;
                    m.gain += dq;
                    if (m.freq >= 0 && m.freq <= kMaxFrequencyIndex && m.gain >= 0 &&
                        m.gain <= maxGainIndex_)
                        moves.push_back(m);
                    if (current.type != static_cast<int>(EqType::Peq)) continue;
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
            double bestCost = state.cost;
            std::optional<FitBand> best;
            const OutsideSums outsideOthers = state.outside - OutsideSum(current);
            for (const FitBand& m : moves) {
                if (!OutsideAllowed(outsideOthers + OutsideSum(m))) continue;
                const double cost = CostWith(state.residual, *state.curves[k], *Curve(m));
                if (Better(cost, bestCost)) {
                    bestCost = cost;
                    best = m;
                }
            }
            if (!best) continue;
            std::shared_ptr<const std::vector<double>> bestCurve = Curve(*best);
            const std::vector<double>& old = *state.curves[k];
            for (std::size_t i = 0; i < state.residual.size(); ++i)
                state.residual[i] += (*bestCurve)[i] - old[i];
            state.outside = outsideOthers + OutsideSum(*best);
            state.bands[k] = *best;
            state.curves[k] = std::move(bestCurve);
            state.cost = Cost(state.residual);
            moved = true;
        }
        movedAtAll = movedAtAll || moved;
        if (!moved) break;
    }
    return movedAtAll;
}

FitState FitProblem::DescendOnly(FitState state) const {
    Descend(state, options_.shelves);
    return state;
}

std::vector<FitState> FitProblem::Children(const FitState& state, bool shelves) {
    std::vector<FitState> out;
    const auto slot = std::find_if(free_.begin(), free_.end(), [&](int b) {
        return !state.placed[static_cast<std::size_t>(b)];
    });
    if (slot == free_.end()) return out;
    const double low = EqGainScale[0];
    const double high = EqGainAt(maxGainIndex_);
    double room = std::numeric_limits<double>::infinity();
    if (options_.levelOffset) {
        double sum = 0.0;
        for (double v : state.residual) sum += v;
        room = std::max(0.0, (sum - baseSum_) / static_cast<double>(columns_.size()) - lowestMean_);
    }
    for (const ShapeBank::Candidate& c :
         bank_->Best(state.residual, shelves, low, high, room, kCandidatesPerState)) {
        FitBand band = c.band;
        band.gain = std::clamp(GainIndexOf(c.gain), 0, maxGainIndex_);
        band = WithinOutsideLimit(state.outside, band);
        if (band.gain == kZeroGainIndex) continue;
        FitState child = state;
        Place(child, *slot, band);
        Descend(child, shelves);
        if (Better(child.cost, state.cost)) out.push_back(std::move(child));
    }
    return out;
}

FitState FitProblem::Search() {
    FitState empty;
    empty.residual = base_;
    empty.cost = Cost(base_);
    if (!bank_) bank_ = std::make_unique<ShapeBank>(columns_, options_.levelOffset);
    FitState best = empty;
    std::vector<bool> starts = {false};
    if (options_.shelves) starts.insert(starts.begin(), true);
    for (bool shelves : starts) {
        std::vector<FitState> beam = {empty};
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
            if (Better(beam.front().cost, best.cost)) best = beam.front();
        }
    }
    return best;
}

std::array<EqBandParams, kBandsPerChannel> FitProblem::Bands(const FitState& state) const {
    std::array<EqBandParams, kBandsPerChannel> out{};
    for (int b = 0; b < kBandsPerChannel; ++b)
        out[static_cast<std::size_t>(b)] = model_.band(channel_, b);
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
