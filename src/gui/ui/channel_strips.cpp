#include "ui/channel_strips.h"

#include <QLabel>
#include <QPushButton>

#include "model/channel_names.h"
#include "ui/ui_style.h"

namespace zx {
namespace {

struct StripPlace {
    const char* label;
    QPoint labelAt;
    int row;
};
const std::array<StripPlace, kChannelCount> kStrips = {{
    {"------In left------", {30, 25}, 21},
    {"------In right------", {30, 104}, 101},
    {"----Out left------", {870, 25}, 21},
    {"----Out right------", {870, 65}, 61},
    {"----Out sub------", {870, 105}, 101},
    {"------Out 4------", {870, 273}, 269},
}};

enum class Kind { Mixer, Mute, Pol, Gain, Delay, Eq, XOver, Limiter };
struct ButtonPlace {
    Kind kind;
    const char* caption;
    int width;
    const char* what; // the accessible name after the channel name
};
constexpr ButtonPlace kMixer{Kind::Mixer, "Mixer", 40, "open mixer"};
constexpr ButtonPlace kMute{Kind::Mute, "Mute", 40, "mute"};
constexpr ButtonPlace kPol{Kind::Pol, "Pol+", 40, "polarity"};
constexpr ButtonPlace kGain{Kind::Gain, "Gain", 40, "open gain"};
constexpr ButtonPlace kDelay{Kind::Delay, "Delay", 50, "open delay"};
constexpr ButtonPlace kEq{Kind::Eq, "EQ", 40, "open EQ"};
constexpr ButtonPlace kXOver{Kind::XOver, "XOver", 50, "open crossover"};
constexpr ButtonPlace kLimiter{Kind::Limiter, "Limiter", 50, "open limiter"};

struct Placed {
    ButtonPlace button;
    int x;
};
const std::array<Placed, 6> kInputButtons = {
    {{kMute, 108}, {kPol, 151}, {kGain, 194}, {kDelay, 237}, {kEq, 290}, {kXOver, 333}}};
const std::array<Placed, 8> kOutputButtons = {{{kMixer, 492},
                                               {kMute, 535},
                                               {kPol, 578},
                                               {kGain, 621},
                                               {kDelay, 664},
                                               {kEq, 717},
                                               {kXOver, 760},
                                               {kLimiter, 813}}};

void Paint(QPushButton* b, const QColor& c) {
    b->setStyleSheet(QStringLiteral("QPushButton { background: %1; }").arg(c.name()));
}

} // namespace

ChannelStrips::ChannelStrips(QWidget* panel) : QObject(panel) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const StripPlace& s = kStrips[static_cast<std::size_t>(ch)];
        auto* label = new QLabel(QString::fromLatin1(s.label), panel);
        label->setFont(ArialPx(13));
        label->setStyleSheet(QStringLiteral("color: white;"));
        label->move(s.labelAt);
        label->adjustSize();
        label->setVisible(ch != 5);

        const auto add = [&](const Placed& p) {
            auto* b = new QPushButton(QString::fromLatin1(p.button.caption), panel);
            b->setGeometry(p.x, s.row, p.button.width, 22);
            b->setFont(ArialPx(13));
            b->setAccessibleName(ChannelTitle(ch) + u' ' + QString::fromLatin1(p.button.what));
            b->setVisible(ch != 5);
            switch (p.button.kind) {
            case Kind::Mixer:
                connect(b, &QPushButton::clicked, this,
                        [this] { emit pageRequested(EditorPage::Mixer); });
                break;
            case Kind::Mute:
                Paint(b, kMuteOffGrey);
                mute_[static_cast<std::size_t>(ch)] = b;
                connect(b, &QPushButton::clicked, this, [this, ch] { emit muteClicked(ch); });
                break;
            case Kind::Pol:
                pol_[static_cast<std::size_t>(ch)] = b;
                connect(b, &QPushButton::clicked, this, [this, ch] { emit polClicked(ch); });
                break;
            case Kind::Gain:
                connect(b, &QPushButton::clicked, this,
                        [this] { emit pageRequested(EditorPage::Gain); });
                break;
            case Kind::Delay:
                connect(b, &QPushButton::clicked, this,
                        [this] { emit pageRequested(EditorPage::Delay); });
                break;
            case Kind::Eq:
            case Kind::XOver:
                connect(b, &QPushButton::clicked, this, [this, ch] { emit channelRequested(ch); });
                break;
            case Kind::Limiter:
                connect(b, &QPushButton::clicked, this,
                        [this] { emit pageRequested(EditorPage::Limiters); });
                break;
            }
        };
        if (IsOutputChannel(ch)) {
            for (const Placed& p : kOutputButtons) add(p);
        } else {
            for (const Placed& p : kInputButtons) add(p);
        }
    }
}

void ChannelStrips::showModel(const ParameterModel& model) {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        const ChannelParams& c = model.channels[static_cast<std::size_t>(ch)];
        Paint(muteButton(ch), c.mute == 1 ? kMuteOnRed : kMuteOffGrey);
        polButton(ch)->setText(c.polarity != 0 ? QStringLiteral("Pol-") : QStringLiteral("Pol+"));
    }
}

} // namespace zx
