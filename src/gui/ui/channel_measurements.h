#pragma once

#include "drawing/measurement_overlay.h"
#include "fit/measurement_file.h"
#include "model/parameter_model.h"

#include <QString>

#include <array>
#include <optional>

namespace zx {

// A curve taken from a file: where it came from, which of the file's curves it is, what it
// was read as, and its values on the graph's plot columns (smoothed, for a measurement).
struct LoadedCurve {
    QString path;
    QString curveName; // empty: the file's only curve
    MeasurementCurve curve;
    QString reading; // one line: name, points, ranges, lines skipped
    ResponseCurve columns{};
};

// The measurement and the target loaded per channel, on the graph's plot columns, with the
// level offset that brings the measurement near the target. A channel without a target is
// fitted to a flat line.
class ChannelMeasurements {
  public:
    // The smoothing `zephranox-preset fit` uses by default, 1/6 octave.
    static constexpr int kSmoothing = 6;
    // The columns a measurement (smoothed) or a target takes; long for a large file, so the
    // window has them computed off its thread.
    static ResponseCurve MeasuredColumns(const MeasurementCurve& curve);
    static ResponseCurve TargetColumns(const MeasurementCurve& curve);

    bool has(ChannelId ch) const { return at(ch).measurement.has_value(); }
    const std::optional<LoadedCurve>& measurement(ChannelId ch) const { return at(ch).measurement; }
    const std::optional<LoadedCurve>& target(ChannelId ch) const { return at(ch).target; }
    const ResponseCurve& measuredColumns(ChannelId ch) const { return at(ch).measured; }
    const ResponseCurve& targetColumns(ChannelId ch) const { return at(ch).targetColumns; }

    void setMeasurement(ChannelId ch, LoadedCurve curve);
    // nullopt: flat.
    void setTarget(ChannelId ch, std::optional<LoadedCurve> curve);
    // The measurement goes; the target stays for the next one.
    void clearMeasurement(ChannelId ch);

    double offsetDb(ChannelId ch) const { return at(ch).offsetDb; }
    void setOffsetDb(ChannelId ch, double db) { slot(ch).offsetDb = db; }

    // What the graph draws over the channel; nothing without a measurement.
    std::optional<MeasurementOverlay> overlay(ChannelId ch) const;

  private:
    struct Channel {
        std::optional<LoadedCurve> measurement;
        std::optional<LoadedCurve> target;
        ResponseCurve measured{};
        ResponseCurve targetColumns = FlatColumns();
        double offsetDb = 0.0;
    };
    static ResponseCurve FlatColumns();
    const Channel& at(ChannelId ch) const { return channels_[static_cast<std::size_t>(ch)]; }
    Channel& slot(ChannelId ch) { return channels_[static_cast<std::size_t>(ch)]; }

    std::array<Channel, kChannelCount> channels_;
};

} // namespace zx
