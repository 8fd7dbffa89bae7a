#include "ui/screen_refresh.h"

#include "drawing/graph.h"
#include "drawing/routing_picture.h"
#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "ui/screen_view.h"

namespace zx {

namespace {

// The threshold, attack, release and ratio lists of one output.
void ShowLimiter(int output, const OutputParams& out, ScreenView& view) {
    view.setLimiterIndex(output, 0, out.limiterThresholdIndex);
    view.setLimiterIndex(output, 1, out.limiterAttackIndex);
    view.setLimiterIndex(output, 2, out.limiterReleaseIndex);
    view.setLimiterIndex(output, 3, out.limiterRatioIndex);
}

} // namespace

QString PolarityCaption(int polarity) {
    return polarity != 0 ? QStringLiteral("Pol-") : QStringLiteral("Pol+");
}

void RefreshScreen(ParameterModel& model, Graph& graph, RoutingPicture& routing, ScreenView& view) {
    view.hideEditor();

    // The name field ends at the first zero byte.
    const qsizetype zero = model.imageName.indexOf(QChar(0));
    view.setActivePresetName(zero < 0 ? model.imageName : model.imageName.left(zero));

    for (EqBandId b = 0; b < kBandCount; ++b)
        view.setBandFrequencyText(b, FieldText(FieldTable::Frequency, model.bands[b].freqIndex));
    for (EqBandId b = 0; b < kBandCount; ++b)
        view.setBandGainText(b, FieldText(FieldTable::EqGain, ActiveGainIndex(model.bands[b])));
    for (EqBandId b = 0; b < kBandCount; ++b)
        view.setBandQText(b, FieldText(FieldTable::Q, model.bands[b].qIndex));
    for (EqBandId b = 0; b < kBandCount; ++b) view.setBandType(b, model.bands[b].type);
    for (EqBandId b = 0; b < kBandCount; ++b) {
        const bool peaking = IsPeaking(model.bands[b]);
        view.setBandQText(b, peaking ? FieldText(FieldTable::Q, model.bands[b].qIndex) : QString());
        view.setBandQEnabled(b, peaking);
    }

    for (int pass = 0; pass < 4; ++pass) {
        const bool highPass = pass % 2 == 0;
        for (ChannelId c = 0; c < kChannelCount; ++c) {
            const ChannelParams& ch = model.channels[static_cast<std::size_t>(c)];
            if (pass < 2) {
                view.setCrossoverType(c, highPass, highPass ? ch.hpfType : ch.lpfType);
            } else {
                view.setCrossoverFrequencyText(
                    c, highPass,
                    FieldText(FieldTable::Frequency, highPass ? ch.hpfFreqIndex : ch.lpfFreqIndex));
            }
        }
    }

    graph.RefreshAll(model);

    for (ChannelId c = 0; c < kChannelCount; ++c) {
        ChannelParams& ch = model.channels[static_cast<std::size_t>(c)];
        // The delay slider's own handling keeps the halves in step with the steps.
        RefreshHalves(ch);
        view.setDelay(c, ch.delaySteps, FormatDelayMs(DelayMs(ch.delaySteps)));
    }
    for (ChannelId c = 0; c < kChannelCount; ++c) {
        const ChannelParams& ch = model.channels[static_cast<std::size_t>(c)];
        view.setGain(c, ch.gainIndex, FormatGainDb(ChannelGainAt(ch.gainIndex)));
    }
    for (ChannelId c = 0; c < kChannelCount; ++c)
        view.setMuteShown(c, MuteShown(model.channels[static_cast<std::size_t>(c)].mute));
    for (ChannelId c = 0; c < kChannelCount; ++c)
        view.setPolarityCaption(
            c, PolarityCaption(model.channels[static_cast<std::size_t>(c)].polarity));
    for (int o = 0; o < kOutputCount; ++o) {
        const OutputParams& out = model.outputs[static_cast<std::size_t>(o)];
        ShowLimiter(o, out, view);
    }
    for (int o = 0; o < kOutputCount; ++o)
        view.setRoute(o, model.outputs[static_cast<std::size_t>(o)].routeSource);
    routing.Draw(model);
}

void ShowModelValues(const ParameterModel& model, ScreenView& view) {
    for (EqBandId b = 0; b < kBandCount; ++b) {
        const EqBandParams& band = model.bands[static_cast<std::size_t>(b)];
        const bool peaking = IsPeaking(band);
        view.setBandFrequencyText(b, FieldText(FieldTable::Frequency, band.freqIndex));
        view.setBandGainText(b, FieldText(FieldTable::EqGain, ActiveGainIndex(band)));
        view.setBandType(b, band.type);
        view.setBandQText(b, peaking ? FieldText(FieldTable::Q, band.qIndex) : QString());
        view.setBandQEnabled(b, peaking);
    }
    for (ChannelId c = 0; c < kChannelCount; ++c) {
        const ChannelParams& ch = model.channels[static_cast<std::size_t>(c)];
        for (const bool highPass : {true, false}) {
            view.setCrossoverType(c, highPass, highPass ? ch.hpfType : ch.lpfType);
            view.setCrossoverFrequencyText(
                c, highPass,
                FieldText(FieldTable::Frequency, highPass ? ch.hpfFreqIndex : ch.lpfFreqIndex));
        }
        view.setDelay(c, ch.delaySteps, FormatDelayMs(DelayMs(ch.delaySteps)));
        view.setGain(c, ch.gainIndex, FormatGainDb(ChannelGainAt(ch.gainIndex)));
        view.setMuteShown(c, MuteShown(ch.mute));
        view.setPolarityCaption(c, PolarityCaption(ch.polarity));
    }
    for (int o = 0; o < kOutputCount; ++o) {
        const OutputParams& out = model.outputs[static_cast<std::size_t>(o)];
        ShowLimiter(o, out, view);
        view.setRoute(o, out.routeSource);
    }
}

} // namespace zx
