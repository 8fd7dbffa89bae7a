#include "app/edit_actions.h"

#include <algorithm>

#include "link/send_slots.h"
#include "model/value_scales.h"
#include "response/entry_fields.h"
#include "response/graph.h"
#include "response/graph_drag.h"
#include "response/routing_picture.h"

namespace zx {
namespace {

FieldTable TableOf(EditActions::BandField field) {
    switch (field) {
    case EditActions::BandField::Frequency:
        return FieldTable::Frequency;
    case EditActions::BandField::Gain:
        return FieldTable::EqGain;
    case EditActions::BandField::Q:
        break;
    }
    return FieldTable::Q;
}

std::uint8_t Flip(std::uint8_t flag) {
    return flag ? 0 : 1;
}

} // namespace

void EditActions::ToggleMute(ChannelId ch) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    c.mute = Flip(c.mute);
    slots_.BuildChannelSettings(ch);
}

void EditActions::TogglePolarity(ChannelId ch) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    c.polarity = c.polarity == 1 ? 0 : 1;
    slots_.BuildChannelSettings(ch);
}

void EditActions::SetRoute(int output, int source) {
    model_.outputs[static_cast<std::size_t>(output)].routeSource =
        static_cast<std::uint8_t>(std::clamp(source, 0, static_cast<int>(kRouteSourceCount) - 1));
    routing_.Draw(model_);
    slots_.BuildChannelSettings(output + kInputCount);
}

void EditActions::SetGain(ChannelId ch, int index) {
    model_.channels[static_cast<std::size_t>(ch)].gainIndex =
        static_cast<std::uint8_t>(std::clamp(index, 0, kMaxChannelGainIndex));
    graph_.RedrawOverview(model_);
    slots_.BuildChannelSettings(ch);
}

void EditActions::SetDelay(ChannelId ch, int steps) {
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    c.delaySteps = static_cast<std::uint16_t>(std::clamp(steps, 0, kMaxDelaySteps));
    // The frame and a saved file read the halves, so they must follow every change.
    RefreshHalves(c);
    slots_.BuildChannelSettings(ch);
}

void EditActions::SetLimiter(int output, Limiter which, int index) {
    auto& o = model_.outputs[static_cast<std::size_t>(output)];
    const auto v = static_cast<std::uint8_t>(std::max(index, 0));
    switch (which) {
    case Limiter::Threshold:
        o.limiterThresholdIndex = std::min<std::uint8_t>(v, kThresholdScaleSize - 1);
        break;
    case Limiter::Attack:
        o.limiterAttackIndex = std::min<std::uint8_t>(v, kAttackScaleSize - 1);
        break;
    case Limiter::Release:
        o.limiterReleaseIndex = std::min<std::uint8_t>(v, kReleaseScaleSize - 1);
        break;
    case Limiter::Ratio:
        o.limiterRatioIndex = std::min<std::uint8_t>(v, kRatioScaleSize - 1);
        break;
    }
    slots_.BuildLimiter(output + kInputCount);
}

void EditActions::SetCurrentBand(EqBandId band) {
    graph_.setCurrentBand(band);
}
void EditActions::SetCurrentCrossover(ChannelId ch) {
    graph_.setCurrentCrossoverChannel(ch);
}

int EditActions::BandIndex(EqBandId band, BandField field) const {
    const EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    switch (field) {
    case BandField::Frequency:
        return b.freqIndex;
    case BandField::Gain:
        return ActiveGainIndex(b);
    case BandField::Q:
        break;
    }
    return b.qIndex;
}

void EditActions::SetBandValue(EqBandId band, BandField field, int index) {
    graph_.setCurrentBand(band);
    EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    index = std::clamp(index, 0, FieldMaxIndex(TableOf(field)));
    switch (field) {
    case BandField::Frequency:
        b.freqIndex = static_cast<std::uint8_t>(index);
        break;
    case BandField::Gain:
        SetActiveGainIndex(b, static_cast<std::uint16_t>(index));
        break;
    case BandField::Q:
        b.qIndex = static_cast<std::uint8_t>(index);
        break;
    }
    BandChanged(band);
}

int EditActions::StepBand(EqBandId band, BandField field, int delta) {
    graph_.setCurrentBand(band);
    const int index = BandIndex(band, field);
    const int next = index + delta;
    if (next < 0 || next > FieldMaxIndex(TableOf(field))) return index;
    SetBandValue(band, field, next);
    return next;
}

void EditActions::SetBandType(EqBandId band, int type) {
    graph_.setCurrentBand(band);
    model_.bands[static_cast<std::size_t>(band)].type =
        static_cast<std::uint8_t>(std::clamp(type, 0, static_cast<int>(kEqTypeCount) - 1));
    graph_.RefreshBand(model_, band);
    slots_.BuildEqBand(band);
}

void EditActions::ResetChannelEq(ChannelId ch) {
    for (int n = 0; n < kBandsPerChannel; ++n) {
        EqBandParams& b = model_.band(ch, n);
        b.type = 0;
        b.qIndex = 4;
        b.peakGainIndex = 120;
        b.shelfGainIndex = 120;
        b.freqIndex = kDefaultBandFreqIndex[static_cast<std::size_t>(n)];
    }
    for (int n = 0; n < kBandsPerChannel; ++n) {
        graph_.setCurrentBand(BandId(ch, n));
        BandChanged(BandId(ch, n));
    }
}

void EditActions::BandChanged(EqBandId band) {
    slots_.BuildEqBand(band);
    graph_.RefreshBand(model_, band);
}

int EditActions::CrossoverFrequency(ChannelId ch, bool highPass) const {
    const auto& c = model_.channels[static_cast<std::size_t>(ch)];
    return highPass ? c.hpfFreqIndex : c.lpfFreqIndex;
}

void EditActions::SetCrossoverFrequency(ChannelId ch, bool highPass, int index) {
    graph_.setCurrentCrossoverChannel(ch);
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    const auto v = static_cast<std::uint8_t>(std::clamp(index, 0, kMaxFrequencyIndex));
    (highPass ? c.hpfFreqIndex : c.lpfFreqIndex) = v;
    CrossoverChanged(ch, highPass);
}

int EditActions::StepCrossover(ChannelId ch, bool highPass, int delta) {
    graph_.setCurrentCrossoverChannel(ch);
    const int index = CrossoverFrequency(ch, highPass);
    const int next = index + delta;
    if (next < 0 || next > kMaxFrequencyIndex) return index;
    SetCrossoverFrequency(ch, highPass, next);
    return next;
}

void EditActions::SetCrossoverType(ChannelId ch, bool highPass, int type) {
    graph_.setCurrentCrossoverChannel(ch);
    auto& c = model_.channels[static_cast<std::size_t>(ch)];
    const auto v =
        static_cast<std::uint8_t>(std::clamp(type, 0, static_cast<int>(kCrossoverTypeCount) - 1));
    (highPass ? c.hpfType : c.lpfType) = v;
    CrossoverChanged(ch, highPass);
}

void EditActions::CrossoverChanged(ChannelId ch, bool highPass) {
    graph_.RedrawCrossover(model_, ch, highPass);
    slots_.BuildCrossover(ch);
}

bool EditActions::DragPress(std::optional<ChannelId> page, int x, int y) {
    if (!page) return false;
    const auto hit = HitBand(graph_.markers(), *page, x, y);
    if (!hit) return false;
    graph_.setCurrentBand(*hit);
    dragging_ = true;
    return true;
}

std::optional<EqBandId> EditActions::DragMove(int x, int y) {
    if (!dragging_) return std::nullopt;
    const EqBandId band = graph_.currentBand();
    EqBandParams& b = model_.bands[static_cast<std::size_t>(band)];
    const DragStep step = zx::DragMove(b, graph_.marker(band), x, y);
    graph_.setMarker(band, step.marker);
    b.freqIndex = static_cast<std::uint8_t>(step.freqIndex);
    SetActiveGainIndex(b, static_cast<std::uint16_t>(step.gainIndex));
    graph_.RefreshBand(model_, band);
    slots_.BuildEqBand(band);
    return band;
}

} // namespace zx
