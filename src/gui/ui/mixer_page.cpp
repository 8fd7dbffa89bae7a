#include "ui/mixer_page.h"

#include <QSignalBlocker>

#include "editing/edit_actions.h"
#include "model/channel_names.h"
#include "model/value_scales.h"
#include "ui/channel_strips.h"
#include "ui/editor_controls.h"

namespace zx {

MixerPage::MixerPage(EditActions& actions, QWidget* parent) : QWidget(parent) {
    for (int o = 0; o < kOutputCount; ++o) {
        const QString name = ChannelTitle(o + kInputCount);
        QGroupBox* g = EditorGroup(name, this, QRect(20 + o * 170, 20, 150, 70));
        g->setVisible(o != 3);
        QComboBox* list = EditorList(RouteSourceTexts(), g, QRect(20, 30, 110, 22),
                                     name + QStringLiteral(" routing"));
        connect(list, &QComboBox::currentIndexChanged, this,
                [&actions, o](int source) { actions.SetRoute(o, source); });
        lists_[static_cast<std::size_t>(o)] = list;
    }
}

void MixerPage::showModel(const ParameterModel& model) {
    for (int o = 0; o < kOutputCount; ++o) {
        QComboBox* list = lists_[static_cast<std::size_t>(o)];
        const QSignalBlocker block(list);
        list->setCurrentIndex(model.outputs[static_cast<std::size_t>(o)].routeSource);
    }
}

} // namespace zx
