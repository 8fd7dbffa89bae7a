#include "presets/written_response.h"

#include "response/biquad_design.h"
#include "response/crossover_response.h"
#include "response/eq_response.h"
#include "response/graph_geometry.h"
#include "response/response_curves.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace zx {
namespace {

constexpr double kSampleRate = 96000.0;
// Equalizer APO's slope for LS and HS written without a Q.
constexpr double kStandardShelfSlope = 0.9;

double Angle(double hz) {
    return 2.0 * std::numbers::pi * hz / kSampleRate;
}

BiquadSection Peaking(double fc, double gainDb, double q) {
    const double w0 = Angle(fc);
    return CookbookPeaking(std::cos(w0), std::pow(10.0, gainDb / 40.0), std::sin(w0) / (2.0 * q));
}

// The cookbook shelf with its corner at fc; alpha from a Q or from a slope S.
BiquadSection Shelf(bool low, double fc, double gainDb, std::optional<double> q, double slope) {
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = Angle(fc);
    const double alpha = q ? std::sin(w0) / (2.0 * *q) : ShelfAlphaOfSlope(std::sin(w0), a, slope);
    return CookbookShelf(low, std::cos(w0), a, alpha);
}

BiquadSection Pass(bool high, double fc, double q) {
    const double w0 = Angle(fc);
    return CookbookPass(high, std::cos(w0), std::sin(w0) / (2.0 * q));
}

// Absurd gains (a list asking for -9000 dB) overflow a double; the report only needs to say
// how far off they are, so each section stays within ±kSectionLimitDb.
constexpr double kSectionLimitDb = 400.0;

double SectionDb(const BiquadSection& s, double w) {
    const double db = 20.0 * std::log10(BiquadMagnitude(s, w));
    if (std::isnan(db)) return kSectionLimitDb;
    return std::clamp(db, -kSectionLimitDb, kSectionLimitDb);
}

double FilterDb(const ListFilter& f, double w) {
    const double gain = f.gainDb.value_or(0.0);
    switch (f.kind) {
    case ListFilterKind::Peaking:
        return SectionDb(Peaking(f.fc, gain, f.q.value_or(kButterworthQ)), w);
    case ListFilterKind::LowShelf:
    case ListFilterKind::HighShelf: {
        const bool low = f.kind == ListFilterKind::LowShelf;
        switch (f.shelf) {
        case ShelfForm::FirstOrder:
        case ShelfForm::SecondOrder: {
            // "LS 6dB", "HS 12dB": a cookbook shelf of slope 6 or 12 dB per octave (S = 0.5 or
            // 1) whose Fc is its corner, |G| / 2 slope octaves from its centre on the side of
            // the shelf's gain.
            const double slopeDb = f.shelf == ShelfForm::FirstOrder ? 6.0 : 12.0;
            const double towardCentre = low ? gain : -gain;
            const double centre = f.fc * std::pow(2.0, towardCentre / (2.0 * slopeDb));
            return SectionDb(Shelf(low, centre, gain, {}, slopeDb / 12.0), w);
        }
        case ShelfForm::CentreQ:
            if (f.slopeDb && !f.q)
                return SectionDb(Shelf(low, f.fc, gain, {}, *f.slopeDb / 12.0), w);
            return SectionDb(Shelf(low, f.fc, gain, f.q.value_or(kButterworthQ), 1.0), w);
        case ShelfForm::Standard:
            break;
        }
        return SectionDb(Shelf(low, f.fc, gain, f.q, kStandardShelfSlope), w);
    }
    case ListFilterKind::HighPass:
    case ListFilterKind::LowPass:
        break;
    }
    const bool high = f.kind == ListFilterKind::HighPass;
    if (!f.crossoverType) return SectionDb(Pass(high, f.fc, f.q.value_or(kButterworthQ)), w);
    if (f.crossoverOff) return 0.0;
    const CrossoverSections sections =
        high ? HighPassSections(*f.crossoverType, f.fc) : LowPassSections(*f.crossoverType, f.fc);
    double db = 0.0;
    for (const BiquadSection& s : sections) db += SectionDb(GuardLeadingCoefficient(s), w);
    return db;
}

} // namespace

double WrittenResponseDb(const WrittenChannel& channel, double hz) {
    const double w = Angle(hz);
    double db = channel.preampDb;
    for (const ListFilter& f : channel.filters) db += FilterDb(f, w);
    return db;
}

std::vector<ChannelDeviation> CompareWithDevice(const WrittenChannels& written,
                                                const ParameterModel& model) {
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(model, *curves, markers);

    std::vector<ChannelDeviation> out;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const auto& channel = written[static_cast<std::size_t>(ch)];
        if (!channel) continue;
        ChannelDeviation d{ch, -1.0, 0.0};
        for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
            const double hz = kGraph.ColumnFrequency(x);
            if (hz < 20.0 - 1e-6 || hz > 20000.0 + 1e-6) continue;
            const double diff =
                std::abs(PlottedValue(*curves, model, ch, x) - WrittenResponseDb(*channel, hz));
            if (diff > d.maxDb) d = {ch, diff, hz};
        }
        out.push_back(d);
    }
    return out;
}

} // namespace zx
