#include "fit/band_fit.h"

#include "fit/fit_search.h"
#include "fit/shape_bank.h"

#include <cmath>

namespace zx {

FitResult FitChannel(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
                     const ResponseCurve& target, const FitOptions& options) {
    FitProblem problem(model, ch, measured, target, options);
    FitResult result;
    for (int b = 0; b < kBandsPerChannel; ++b)
        result.bands[static_cast<std::size_t>(b)] = model.band(ch, b);
    if (problem.columns() == 0) {
        result.report = problem.Report(problem.Start());
        return result;
    }
    const FitState start = problem.Start();
    const FitState best = options.descentOnly ? problem.DescendOnly(start) : problem.Search();
    result.bands = problem.Bands(best);
    result.report = problem.Report(best);
    result.report.rmsBefore = problem.Report(start).rmsAfter;
    result.report.maxBefore = problem.Report(start).maxAfter;
    result.report.offsetBeforeDb = problem.Report(start).offsetDb;
    result.fitted = true;
    return result;
}

void ApplyFit(const FitResult& result, ChannelId ch, ParameterModel& model) {
    for (int b = 0; b < kBandsPerChannel; ++b) {
        EqBandParams band = result.bands[static_cast<std::size_t>(b)];
        RefreshHalves(band);
        model.band(ch, b) = band;
    }
}

FitReport MeasureFit(const ParameterModel& model, ChannelId ch, const ResponseCurve& measured,
                     const ResponseCurve& target, const FitOptions& options) {
    const FitProblem problem(model, ch, measured, target, options);
    return problem.Report(problem.Start());
}

} // namespace zx
