#pragma once

#include "drawing/measurement_overlay.h"
#include "fit/measurement_file.h"
#include "model/parameter_model.h"

#include <QString>

#include <array>
#include <optional>

namespace zx {

// A curve taken from a file: where it came from, and which of the file's curves it is.
struct LoadedCurve {
    QString path;
    QString curveName; // empty: the file's only curve
    MeasurementCurve curve;
};

// The measurement and the target loaded per channel, on the graph's plot columns, with the
// level offset that brings the measurement near the target. A channel without a target is
// fitted to a flat line.
class ChannelMeasurements {
  public:
    // The smoothing `zephranox-preset fit` uses by default, 1/6 octave.
    static constexpr int kSmoothing = 6;

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
