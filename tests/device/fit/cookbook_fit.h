#pragma once

// What other equaliser tools make: eight continuous cookbook peaking filters (any frequency,
// gain and Q) fitted to a measurement, and the same filters typed into the device's entry
// fields. The fit tests compare the device's own fit with both.

#include "fit/band_fit.h"
#include "model/parameter_model.h"
#include "response/graph_geometry.h"

#include <QString>

#include <vector>

namespace zx::test {

struct CookbookFilter {
    double hz = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
};

struct CookbookFit {
    std::vector<CookbookFilter> filters;
    double rms = 0.0; // after the best level offset, over the fit's columns
};

// Greedy placement at the largest error, then a joint pattern search over every placed
// filter's log frequency, gain and log Q; gains within -24 dB and +maxBoostDb.
CookbookFit FitCookbook(const ResponseCurve& measured, const ResponseCurve& target,
                        const FitOptions& options, int count = 8);

// The filters as a list's lines ("Filter: ON PK Fc ... Hz Gain ... dB Q ...").
QString CookbookList(const CookbookFit& fit);

// The filters typed into the channel's entry fields: each value snapped to its table.
ParameterModel TypedIn(const CookbookFit& fit, ChannelId ch);

} // namespace zx::test
