#include "fit/band_fit.h"

#include "fit/fit_search.h"

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
    const FitReport before = problem.Report(start);
    result.bands = problem.Bands(best);
    result.report = problem.Report(best);
    result.report.rmsBefore = before.rmsAfter;
    result.report.maxBefore = before.maxAfter;
    result.report.offsetBeforeDb = before.offsetDb;
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
