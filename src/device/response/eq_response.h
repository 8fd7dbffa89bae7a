#pragma once

#include "model/parameter_model.h"
#include "model/value_scales.h"
#include "response/biquad_design.h"
#include "response/graph_geometry.h"

#include <array>

namespace zx {

// The device processes at 96000 Hz; w0 = f0 × 6.544985e-05 is its approximation of 2π / 96000.
inline constexpr double kCornerAngle = 0.00006544985;

// Magnitude of one section at normalised angular frequency w (radians per sample).
double BiquadMagnitude(double b0, double b1, double b2, double a0, double a1, double a2, double w);
double BiquadMagnitude(const BiquadSection& s, double w);
// The curve's decibels: 40 ln(m) / ln(101) (a +12.0 dB band peaks at 11.974).
double CurveDb(double magnitude);

// For evaluating one section over many columns: divide through by a0 once, then take the
// squared magnitude from the cosine and sine of each column angle, and its curve value
// (20 ln(m²) / ln(101), the same number without the square root).
BiquadSection NormaliseSection(const BiquadSection& s);
double NormalisedSquaredMagnitude(const BiquadSection& normalised, double c, double sn);
double CurveDbOfSquared(double squaredMagnitude);

// The graph position of a band: column from its frequency, row from its active gain.
struct BandMarker {
    int x = 0;
    int y = 0;
    friend bool operator==(const BandMarker&, const BandMarker&) = default;
};

// Position of bands 1..8 before their first refresh.
inline constexpr std::array<int, kBandsPerChannel> kInitialMarkerColumns = {110, 226, 302, 376,
                                                                            479, 554, 632, 677};
inline constexpr int kInitialMarkerRow = 86;

BandMarker PlaceMarker(const EqBandParams& band);

// Designs from the values read back off the marker: f0 in Hz, gain in dB.
BiquadSection PeakingSection(double f0, double gainDb, double q);
BiquadSection ShelfSection(EqType type, double f0, double gainDb);

// The band's curve for its type, computed from the marker position (not from the table
// values directly), so the drawn response is quantised to the graph's pixels. A type
// outside 0..2 gives a flat curve.
void ComputeBandCurve(const EqBandParams& band, BandMarker marker, ResponseCurve& curve);

} // namespace zx
