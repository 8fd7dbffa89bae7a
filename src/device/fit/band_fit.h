#pragma once

#include "model/parameter_model.h"
#include "response/graph_geometry.h"

#include <array>

namespace zx {

// Fitting a channel's eight EQ bands, in the device's own tables, so that
// measured + the channel's drawn response − target has the smallest RMS over the fit range
// after the best level offset. The drawn response is the program's own: the band curves as
// the graph computes them (marker read-back included), the channel's crossovers and gain.

struct FitOptions {
    double lowHz = 20.0;
    double highHz = 20000.0;
    double maxBoostDb = 6.0;                   // most boost of a band, at most +12
    std::array<bool, kBandsPerChannel> keep{}; // bands left as the model has them
    bool shelves = true;                       // low and high shelves allowed
    bool levelOffset = true;  // false: the offset is held at 0 (matching a list's response)
    bool descentOnly = false; // only descend from the model's bands (for comparisons)
};

// Figures over the fit range's columns, in curve decibels.
struct FitReport {
    int columns = 0;        // plot columns compared
    double rmsBefore = 0.0; // with the model's bands as they were
    double maxBefore = 0.0; // largest error
    double rmsAfter = 0.0;
    double maxAfter = 0.0;
    double offsetDb = 0.0; // level added to the measurement after the fit (0 when held)
    double offsetBeforeDb = 0.0;
};

struct FitResult {
    std::array<EqBandParams, kBandsPerChannel> bands{}; // the channel's bands 1..8
    FitReport report;
    bool fitted = false; // false: no column of the measurement lies in the range
};

// `measured` and `target` are per plot column (NaN where unknown; see column_response.h).
// Deterministic: the same input gives the same bands. The model is not changed.
FitResult FitChannel(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
                     const ResponseCurve& target, const FitOptions& options);

// Writes the fitted bands into the channel; each band's other gain index (peaking or shelf)
// keeps its value, and the byte halves follow.
void ApplyFit(const FitResult& result, ChannelId ch, ParameterModel& model);

// The error figures of the model's channel as it stands (rms, largest, offset), as the fit
// reports them.
FitReport MeasureFit(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
                     const ResponseCurve& target, const FitOptions& options);

} // namespace zx
