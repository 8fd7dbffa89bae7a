#include "response/response_export.h"

#include "model/channel_names.h"
#include "response/graph_geometry.h"
#include "response/response_curves.h"

#include <QStringList>

#include <array>
#include <memory>

namespace zx {
namespace {

QString Number(double v) {
    return QString::number(v, 'f', 6);
}

} // namespace

QString ResponseCsv(const ParameterModel& m, bool detail) {
    auto curves = std::make_unique<ResponseCurves>();
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(m, *curves, markers);

    QStringList header = {QStringLiteral("column"), QStringLiteral("frequency_hz")};
    for (ChannelId c = 0; c < kChannelCount; ++c) header << ChannelName(c);
    if (detail) {
        for (ChannelId c = 0; c < kChannelCount; ++c) {
            const QString ch = ChannelName(c);
            for (int b = 1; b <= kBandsPerChannel; ++b)
                header << ch + QStringLiteral("_band%1").arg(b);
            header << ch + QStringLiteral("_highpass") << ch + QStringLiteral("_lowpass");
        }
    }
    QString out = header.join(u',') + u'\n';
    // Appended in place, without a list per row: the detailed table has 60,000 cells.
    const qsizetype cellsPerRow = header.size();
    out.reserve(out.size() + (kGraph.plotColumnCount() + 1) * cellsPerRow * 12);
    const auto cell = [&out](double v) {
        out += u',';
        out += Number(v);
    };
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        const auto i = static_cast<std::size_t>(GraphGeometry::CurveIndex(x));
        out += QString::number(x);
        cell(kGraph.ColumnFrequency(x));
        for (ChannelId ch = 0; ch < kChannelCount; ++ch) cell(PlottedValue(*curves, m, ch, x));
        if (detail) {
            for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
                for (int b = 0; b < kBandsPerChannel; ++b)
                    cell(curves->bands[static_cast<std::size_t>(BandId(ch, b))][i]);
                cell(curves->highPass[static_cast<std::size_t>(ch)][i]);
                cell(curves->lowPass[static_cast<std::size_t>(ch)][i]);
            }
        }
        out += u'\n';
    }
    return out;
}

} // namespace zx
