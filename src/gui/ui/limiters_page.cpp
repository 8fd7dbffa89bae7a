#include "ui/limiters_page.h"

#include <QSignalBlocker>

#include "editing/edit_actions.h"
#include "model/channel_names.h"
#include "model/value_scales.h"
#include "ui/channel_strips.h"
#include "ui/editor_controls.h"

namespace zx {

LimitersPage::LimitersPage(EditActions& actions, QWidget* parent) : QWidget(parent) {
    struct Row {
        const char* caption;
        QStringList items;
        const char* what;
        EditActions::Limiter field;
    };
    const std::array<Row, kLists> rows = {{
        {"Threshold", ThresholdTexts(), "threshold", EditActions::Limiter::Threshold},
        {"Attack", AttackTexts(), "attack", EditActions::Limiter::Attack},
        {"Release", ReleaseTexts(), "release", EditActions::Limiter::Release},
        {"Ratio", RatioTexts(), "ratio", EditActions::Limiter::Ratio},
    }};
    for (int r = 0; r < kLists; ++r)
        EditorLabel(QString::fromLatin1(rows[r].caption), this, QPoint(16, 62 + r * 40))
            ->setVisible(r != 3);
    for (int o = 0; o < kOutputCount; ++o) {
        const QString name = ChannelTitle(o + kInputCount);
        QGroupBox* g = EditorGroup(name, this, QRect(100 + o * 170, 20, 150, 150));
        g->setVisible(o != 3);
        for (int r = 0; r < kLists; ++r) {
            QComboBox* list =
                EditorList(rows[r].items, g, QRect(20, 38 + r * 40, 110, 22),
                           name + QStringLiteral(" limiter ") + QString::fromLatin1(rows[r].what));
            list->setVisible(r != 3);
            const EditActions::Limiter field = rows[r].field;
            connect(list, &QComboBox::currentIndexChanged, this,
                    [&actions, o, field](int index) { actions.SetLimiter(o, field, index); });
            lists_[static_cast<std::size_t>(o)][static_cast<std::size_t>(r)] = list;
        }
    }
}

void LimitersPage::showModel(const ParameterModel& model) {
    for (int o = 0; o < kOutputCount; ++o) {
        const OutputParams& out = model.outputs[static_cast<std::size_t>(o)];
        const std::array<int, kLists> indexes = {out.limiterThresholdIndex, out.limiterAttackIndex,
                                                 out.limiterReleaseIndex, out.limiterRatioIndex};
        for (int r = 0; r < kLists; ++r) {
            QComboBox* l = list(o, r);
            const QSignalBlocker block(l);
            l->setCurrentIndex(indexes[static_cast<std::size_t>(r)]);
        }
    }
}

} // namespace zx
