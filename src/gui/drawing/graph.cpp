#include "drawing/graph.h"

#include "model/value_scales.h"

namespace zx {

Graph::Graph(qreal devicePixelRatio, QObject* parent)
    : QObject(parent), grid_(BuildGridBitmap(kGraph.w, kGraph.h, devicePixelRatio)),
      image_(grid_.copy()), markers_(InitialBandMarkers()) {
    DrawStartupPicture();
}

void Graph::CopyGrid() {
    zx::CopyGrid(image_, grid_);
    emit imageChanged();
}

void Graph::PlotChannel(const ParameterModel& m, ChannelId ch) {
    PlotChannelCurve(image_, curves_, ch,
                     ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex),
                     QColor(kSingleChannelRgb), penWidth_);
    emit imageChanged();
}

void Graph::PlotOverview(const ParameterModel& m) {
    // Out 4 is never part of the overview.
    for (ChannelId ch = 0; ch < kChannelCount - 1; ++ch) {
        if (!show_[static_cast<std::size_t>(ch)]) continue;
        PlotChannelCurve(image_, curves_, ch,
                         ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex),
                         ChannelColour(ch), penWidth_);
    }
    emit imageChanged();
}

void Graph::DrawBandMarkers(ChannelId ch) {
    zx::DrawBandMarkers(image_, markers_, ch);
    emit imageChanged();
}

void Graph::DrawStartupPicture() {
    zx::DrawStartupPicture(image_, grid_, penWidth_);
    emit imageChanged();
}

void Graph::RedrawOverview(const ParameterModel& m) {
    zx::CopyGrid(image_, grid_);
    PlotOverview(m);
}

void Graph::RefreshBand(const ParameterModel& m, EqBandId band) {
    currentBand_ = band;
    const auto b = static_cast<std::size_t>(band);
    markers_[b] = PlaceMarker(m.bands[b]);
    zx::CopyGrid(image_, grid_);
    ComputeBandCurve(m.bands[b], markers_[b], curves_.bands[b]);
    const ChannelId ch = ChannelOfBand(band);
    PlotChannelCurve(image_, curves_, ch,
                     ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex),
                     QColor(kSingleChannelRgb), penWidth_);
    zx::DrawBandMarkers(image_, markers_, ch);
    DrawOverlay(m);
    emit imageChanged();
}

void Graph::ComputeHighPassCurve(const ParameterModel& m, int type) {
    RecomputeHighPass(m, crossoverChannel_, type, curves_);
    PlotChannel(m, currentBandChannel());
}

void Graph::ComputeLowPassCurve(const ParameterModel& m, int type) {
    RecomputeLowPass(m, crossoverChannel_, type, curves_);
    if (singleChannel_) {
        PlotChannel(m, currentBandChannel());
    } else {
        PlotOverview(m);
    }
}

void Graph::RedrawCrossover(const ParameterModel& m, ChannelId ch, bool highPass) {
    crossoverChannel_ = ch;
    zx::CopyGrid(image_, grid_);
    const ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
    if (highPass) {
        ComputeHighPassCurve(m, c.hpfType);
    } else {
        ComputeLowPassCurve(m, c.lpfType);
    }
    DrawBandMarkers(currentBandChannel());
    DrawOverlay(m);
}

void Graph::DrawOverlay(const ParameterModel& m) {
    const ChannelId ch = currentBandChannel();
    const auto& overlay = overlays_[static_cast<std::size_t>(ch)];
    if (!singleChannel_ || !overlay) return;
    DrawMeasurementOverlay(image_, curves_, ch,
                           ChannelGainAt(m.channels[static_cast<std::size_t>(ch)].gainIndex),
                           *overlay, penWidth_);
    emit imageChanged();
}

void Graph::RefreshAll(const ParameterModel& m) {
    RecomputeAllCurves(m, curves_, markers_);
    currentBand_ = kBandCount - 1;
    crossoverChannel_ = kChannelCount - 1;
    RedrawOverview(m);
}

void Graph::ShowSwitchClicked(const ParameterModel& m, ChannelId ch, bool checked) {
    if (singleChannel_) return;
    show_[static_cast<std::size_t>(ch)] = checked;
    RedrawOverview(m);
}

void Graph::EditorShown() {
    penWidth_ = 1;
    singleChannel_ = true;
}

void Graph::EditorHidden(const ParameterModel& m) {
    penWidth_ = 2;
    singleChannel_ = false;
    RedrawOverview(m);
}

} // namespace zx
