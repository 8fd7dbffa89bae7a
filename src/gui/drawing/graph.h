#pragma once

#include "drawing/graph_canvas.h"
#include "drawing/measurement_overlay.h"
#include "model/parameter_model.h"
#include "response/response_curves.h"

#include <QImage>
#include <QObject>

#include <array>
#include <optional>

namespace zx {

// The response graph: every curve, the band markers, the current band and crossover
// channel, the show switches and the mode, the grid bitmap and the retained graph picture.
// Each operation recomputes and draws synchronously; nothing is drawn on paint events, the
// view only shows `image()`. The pictures are made for a screen of the given device pixel
// ratio; positions stay in graph pixels whatever the ratio.
class Graph : public QObject {
    Q_OBJECT
  public:
    explicit Graph(qreal devicePixelRatio = 1.0, QObject* parent = nullptr);

    const QImage& image() const { return image_; }
    const QImage& gridBitmap() const { return grid_; }
    const ResponseCurves& curves() const { return curves_; }
    const BandMarkers& markers() const { return markers_; }
    const BandMarker& marker(EqBandId band) const {
        return markers_[static_cast<std::size_t>(band)];
    }
    // A drag places the marker directly; the next refresh snaps it to the band's values.
    void setMarker(EqBandId band, BandMarker m) { markers_[static_cast<std::size_t>(band)] = m; }

    EqBandId currentBand() const { return currentBand_; }
    void setCurrentBand(EqBandId band) { currentBand_ = band; }
    ChannelId currentCrossoverChannel() const { return crossoverChannel_; }
    void setCurrentCrossoverChannel(ChannelId ch) { crossoverChannel_ = ch; }

    // A channel's measurement and target, drawn over its single-channel picture; nothing for
    // none. Takes effect at the next redraw.
    void setOverlay(ChannelId ch, const std::optional<MeasurementOverlay>& overlay) {
        overlays_[static_cast<std::size_t>(ch)] = overlay;
    }
    const std::optional<MeasurementOverlay>& overlay(ChannelId ch) const {
        return overlays_[static_cast<std::size_t>(ch)];
    }

    bool showSwitch(ChannelId ch) const { return show_[static_cast<std::size_t>(ch)]; }
    bool singleChannelMode() const { return singleChannel_; }
    int penWidth() const { return penWidth_; }

    // Band edited: marker from the band's values, grid, the band's curve, its channel in
    // red, the channel's markers. Makes the band the current band.
    void RefreshBand(const ParameterModel& m, EqBandId band);
    // Recompute the current crossover channel's filter with the given type, then plot: the
    // high-pass always the current band's channel in red; the low-pass likewise while the
    // editor is open, the overview otherwise. Neither copies the grid first.
    void ComputeHighPassCurve(const ParameterModel& m, int type);
    void ComputeLowPassCurve(const ParameterModel& m, int type);
    // Crossover edited in the editor: grid, the curve recomputed and plotted, the markers of
    // the current band's channel.
    void RedrawCrossover(const ParameterModel& m, ChannelId ch, bool highPass);

    void CopyGrid();
    void PlotChannel(const ParameterModel& m, ChannelId ch);
    void PlotOverview(const ParameterModel& m);
    void DrawBandMarkers(ChannelId ch);
    void DrawStartupPicture();
    // Grid and overview: show switch clicked, channel gain changed, editor page "Gain".
    void RedrawOverview(const ParameterModel& m);

    // A whole parameter block applied: every band and crossover recomputed, then the
    // overview, even while the editor is open. The intermediate pictures a band-by-band
    // refresh would draw are all covered by the final overview, so only that is drawn.
    void RefreshAll(const ParameterModel& m);

    // Show check box: ignored while the editor is open; otherwise the switch follows the box
    // and the overview is redrawn.
    void ShowSwitchClicked(const ParameterModel& m, ChannelId ch, bool checked);
    // Editor window shown: thin pen, single-channel mode, no redraw. Hidden: thick pen,
    // overview mode, overview redrawn.
    void EditorShown();
    void EditorHidden(const ParameterModel& m);

  signals:
    void imageChanged();

  private:
    ChannelId currentBandChannel() const { return ChannelOfBand(currentBand_); }
    // The overlay of the channel shown alone, if it has one.
    void DrawOverlay(const ParameterModel& m);

    QImage grid_;
    QImage image_;
    ResponseCurves curves_;
    BandMarkers markers_;
    EqBandId currentBand_ = 0;
    ChannelId crossoverChannel_ = 0;
    std::array<bool, kChannelCount> show_ = {true, true, true, true, true, false};
    bool singleChannel_ = false;
    int penWidth_ = 2;
    std::array<std::optional<MeasurementOverlay>, kChannelCount> overlays_;
};

} // namespace zx
