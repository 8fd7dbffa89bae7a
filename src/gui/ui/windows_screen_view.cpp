#include "ui/windows_screen_view.h"

#include "ui/channel_page.h"
#include "ui/channel_strips.h"
#include "ui/editor_window.h"
#include "ui/level_page.h"
#include "ui/limiters_page.h"
#include "ui/main_window.h"
#include "ui/mixer_page.h"
#include "ui/number_field.h"

namespace zx {
namespace {

NumberField* Field(EditorWindow& editor, EqBandId band, ChannelPage::Column column) {
    return editor.channelPage(ChannelOfBand(band))->bandField(band % kBandsPerChannel, column);
}

} // namespace

void WindowsScreenView::hideEditor() {
    editor_.hide();
}
void WindowsScreenView::setActivePresetName(const QString& name) {
    main_.setActivePresetName(name);
}
void WindowsScreenView::setBandFrequencyText(EqBandId band, const QString& text) {
    Field(editor_, band, ChannelPage::Frequency)->setText(text);
}
void WindowsScreenView::setBandGainText(EqBandId band, const QString& text) {
    Field(editor_, band, ChannelPage::Gain)->setText(text);
}
void WindowsScreenView::setBandQText(EqBandId band, const QString& text) {
    Field(editor_, band, ChannelPage::Q)->setText(text);
}
void WindowsScreenView::setBandType(EqBandId band, int type) {
    editor_.channelPage(ChannelOfBand(band))->setBandType(band % kBandsPerChannel, type);
}
void WindowsScreenView::setBandQEnabled(EqBandId band, bool enabled) {
    Field(editor_, band, ChannelPage::Q)->setFieldEnabled(enabled);
}
void WindowsScreenView::setCrossoverType(ChannelId ch, bool highPass, int type) {
    editor_.channelPage(ch)->setCrossoverType(highPass, type);
}
void WindowsScreenView::setCrossoverFrequencyText(ChannelId ch, bool highPass,
                                                  const QString& text) {
    editor_.channelPage(ch)->crossoverField(highPass)->setText(text);
}
void WindowsScreenView::setDelay(ChannelId ch, int steps, const QString& label) {
    editor_.delayPage()->setValue(ch, steps, label);
}
void WindowsScreenView::setGain(ChannelId ch, int index, const QString& label) {
    editor_.gainPage()->setValue(ch, index, label);
}
void WindowsScreenView::setMuteShown(ChannelId ch, bool muted) {
    main_.strips()->setMuteShown(ch, muted);
}
void WindowsScreenView::setPolarityCaption(ChannelId ch, const QString& caption) {
    main_.strips()->setPolarityCaption(ch, caption);
}
void WindowsScreenView::setLimiterIndex(int output, int list, int index) {
    editor_.limitersPage()->setIndex(output, list, index);
}
void WindowsScreenView::setRoute(int output, int source) {
    editor_.mixerPage()->setRoute(output, source);
}

} // namespace zx
