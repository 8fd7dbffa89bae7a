#include "presets/list_match.h"

#include "fit/band_fit.h"
#include "model/channel_names.h"
#include "model/value_scales.h"
#include "presets/filter_export.h"
#include "presets/written_response.h"

#include <cmath>
#include <limits>

namespace zx {
namespace {

bool AllExported(const WrittenChannel& written) {
    bool any = false;
    for (const ListFilter& f : written.filters) {
        if (f.kind == ListFilterKind::HighPass || f.kind == ListFilterKind::LowPass) continue;
        if (!f.device || !MatchesExportedBand(f, *f.device)) return false;
        any = true;
    }
    return any;
}

ResponseCurve WrittenOnColumns(const WrittenChannel& written) {
    ResponseCurve out;
    out.fill(std::numeric_limits<double>::quiet_NaN());
    const ColumnAngles& angles = PlotColumnAngles();
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        out[i] = WrittenResponseDb(written, angles.frequency[i]);
    }
    return out;
}

QString BandText(int number, const EqBandParams& band) {
    QString text = QStringLiteral("band %1 %2 %3 Hz %4 dB")
                       .arg(number)
                       .arg(EqTypeText(band.type), FormatOneDecimal(FrequencyAt(band.freqIndex)),
                            FormatOneDecimal(EqGainAt(ActiveGainIndex(band))));
    if (IsPeaking(band)) text += QStringLiteral(" Q ") + FormatOneDecimal(QAt(band.qIndex));
    return text;
}

} // namespace

void MatchListResponse(FilterImport& result, ParameterModel& model) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const auto& written = result.written[static_cast<std::size_t>(ch)];
        if (!written || AllExported(*written)) continue;
        ResponseCurve flat{};
        const ResponseCurve target = WrittenOnColumns(*written);
        FitOptions options;
        options.maxBoostDb = EqGainScale[kMaxEqGainIndex];
        options.levelOffset = false;
        const FitResult fresh = FitChannel(model, ch, flat, target, options);
        options.descentOnly = true;
        const FitResult fromSnapped = FitChannel(model, ch, flat, target, options);
        const FitResult& best =
            fresh.report.rmsAfter <= fromSnapped.report.rmsAfter ? fresh : fromSnapped;
        const double snapped = fresh.report.rmsBefore;
        if (!best.fitted || !(best.report.rmsAfter < snapped)) continue;
        ApplyFit(best, ch, model);
        result.notes.push_back(
            {ListNote::Kind::Info, 0,
             QStringLiteral("%1: bands matched to the list's response: RMS difference %2 dB "
                            "(value by value %3 dB)")
                 .arg(ChannelName(ch), QString::number(best.report.rmsAfter, 'f', 2),
                      QString::number(snapped, 'f', 2))});
        for (int b = 0; b < kBandsPerChannel; ++b) {
            result.notes.push_back({ListNote::Kind::Info, 0,
                                    ChannelName(ch) + QStringLiteral(": matched ") +
                                        BandText(b + 1, model.band(ch, b))});
        }
    }
}

} // namespace zx
