#include "ui/channel_measurements.h"

#include "fit/column_response.h"

namespace zx {

ResponseCurve ChannelMeasurements::FlatColumns() {
    return FlatTarget(0.0);
}

ResponseCurve ChannelMeasurements::MeasuredColumns(const MeasurementCurve& curve) {
    return MeasurementOnColumns(curve, kSmoothing);
}

ResponseCurve ChannelMeasurements::TargetColumns(const MeasurementCurve& curve) {
    return TargetOnColumns(curve, 0.0);
}

void ChannelMeasurements::setMeasurement(ChannelId ch, LoadedCurve curve) {
    Channel& c = slot(ch);
    c.measured = curve.columns;
    c.measurement = std::move(curve);
}

void ChannelMeasurements::setTarget(ChannelId ch, std::optional<LoadedCurve> curve) {
    Channel& c = slot(ch);
    c.targetColumns = curve ? curve->columns : FlatColumns();
    c.target = std::move(curve);
}

void ChannelMeasurements::clearMeasurement(ChannelId ch) {
    Channel& c = slot(ch);
    c.measurement.reset();
    c.offsetDb = 0.0;
}

std::optional<MeasurementOverlay> ChannelMeasurements::overlay(ChannelId ch) const {
    const Channel& c = at(ch);
    if (!c.measurement) return std::nullopt;
    MeasurementOverlay o{c.measured, c.targetColumns};
    for (double& v : o.measured) v += c.offsetDb;
    return o;
}

} // namespace zx
