#include "ui/level_page.h"

#include <QSignalBlocker>
#include <QSlider>

#include "editing/edit_actions.h"
#include "model/channel_names.h"
#include "model/value_scales.h"
#include "ui/channel_strips.h"
#include "ui/editor_controls.h"

namespace zx {

QString LevelPage::LabelText(Kind kind, int position) {
    return kind == Kind::Gain ? FormatGainDb(ChannelGainAt(position))
                              : FormatDelayMs(DelayMs(position));
}

LevelPage::LevelPage(Kind kind, EditActions& actions, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    const bool gain = kind == Kind::Gain;
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const QString name = ChannelTitle(ch);
        QGroupBox* g = EditorGroup(name, this, QRect(12 + ch * 110, 8, 100, 270));
        g->setVisible(ch != 5);
        auto* s = new QSlider(Qt::Vertical, g);
        s->setGeometry(38, 24, 24, 200);
        s->setRange(0, gain ? kMaxChannelGainIndex : kMaxDelaySteps);
        s->setValue(gain ? kZeroChannelGainIndex : 0);
        s->setAccessibleName(name + (gain ? QStringLiteral(" gain") : QStringLiteral(" delay")));
        QLabel* l = EditorLabel(LabelText(kind, s->value()), g, QPoint(5, 236));
        l->setFixedWidth(90);
        l->setAlignment(Qt::AlignCenter);
        connect(s, &QSlider::valueChanged, this, [&actions, kind, ch, l](int position) {
            l->setText(LabelText(kind, position));
            if (kind == Kind::Gain) {
                actions.SetGain(ch, position);
            } else {
                actions.SetDelay(ch, position);
            }
        });
        // One movement from press to release is one edit to undo.
        connect(s, &QSlider::sliderPressed, this, [&actions] { actions.BeginGesture(); });
        connect(s, &QSlider::sliderReleased, this, [&actions] { actions.EndGesture(); });
        sliders_[static_cast<std::size_t>(ch)] = s;
        labels_[static_cast<std::size_t>(ch)] = l;
    }
}

void LevelPage::showModel(const ParameterModel& model) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = model.channels[static_cast<std::size_t>(ch)];
        const int position = kind_ == Kind::Gain ? c.gainIndex : c.delaySteps;
        QSlider* s = slider(ch);
        const QSignalBlocker block(s);
        s->setValue(position);
        label(ch)->setText(LabelText(kind_, position));
    }
}

} // namespace zx
