#include "ui/channel_page.h"

#include <QPushButton>
#include <QSignalBlocker>

#include "drawing/graph_canvas.h"
#include "editing/edit_actions.h"
#include "model/channel_names.h"
#include "model/value_scales.h"
#include "ui/channel_strips.h"
#include "ui/editor_controls.h"
#include "ui/number_field.h"

namespace zx {
namespace {

using BandField = EditActions::BandField;

constexpr std::array<BandField, 3> kColumns = {BandField::Frequency, BandField::Gain, BandField::Q};
constexpr std::array<FieldTable, 3> kTables = {FieldTable::Frequency, FieldTable::EqGain,
                                               FieldTable::Q};
const char* const kColumnNames[3] = {"frequency", "gain", "Q"};

} // namespace

ChannelPage::ChannelPage(ChannelId ch, EditActions& actions, FieldMemory& memory, QWidget* parent)
    : QWidget(parent), channel_(ch), actions_(actions) {
    buildCrossover(memory);
    buildEq(memory);
}

void ChannelPage::buildCrossover(FieldMemory& memory) {
    const QString name = ChannelTitle(channel_);
    QGroupBox* g = EditorGroup(QStringLiteral("XOver"), this, QRect(8, 6, 161, 265));
    for (const bool highPass : {true, false}) {
        const int top = highPass ? 22 : 142;
        const QString filter =
            highPass ? QStringLiteral(" high-pass") : QStringLiteral(" low-pass");
        EditorLabel(highPass ? QStringLiteral("     HPF    ") : QStringLiteral("     LPF     "), g,
                    QPoint(14, top));
        auto* field = new NumberField(FieldTable::Frequency, memory, g);
        field->setGeometry(30, top + 20, 100, 22);
        field->setName(name + filter + QStringLiteral(" frequency"));
        field->setText(highPass ? QStringLiteral("19.7") : QStringLiteral("20100.0"));
        const ChannelId ch = channel_;
        EditActions& actions = actions_;
        field->onCommitStart = [&actions, ch] { actions.SetCurrentCrossover(ch); };
        field->onStore = [&actions, ch, highPass](int index) {
            actions.SetCrossoverFrequency(ch, highPass, index);
        };
        field->onSpin = [&actions, ch, highPass](int delta) {
            return actions.StepCrossover(ch, highPass, delta);
        };
        EditorLabel(QStringLiteral("     Type   "), g, QPoint(14, top + 50));
        QComboBox* type = EditorList(CrossoverTypeTexts(), g, QRect(20, top + 70, 125, 22),
                                     name + filter + QStringLiteral(" type"));
        connect(type, &QComboBox::currentIndexChanged, this,
                [&actions, ch, highPass](int t) { actions.SetCrossoverType(ch, highPass, t); });
        (highPass ? hpf_ : lpf_) = field;
        (highPass ? hpfType_ : lpfType_) = type;
    }
}

void ChannelPage::buildEq(FieldMemory& memory) {
    const QString name = ChannelTitle(channel_);
    QGroupBox* g = EditorGroup(QStringLiteral("EQ"), this, QRect(178, 6, 425, 265));
    static constexpr int kFieldX[3] = {40, 132, 224};
    static constexpr int kFieldW[3] = {86, 86, 86};
    static constexpr int kTypeX = 316;
    EditorLabel(QStringLiteral("NO."), g, QPoint(8, 20));
    const char* const headers[4] = {"      Frequency    ", "       Gain            ",
                                    "      Q value        ", "      Type        "};
    for (int col = 0; col < 4; ++col) {
        auto* h = EditorLabel(QString::fromLatin1(headers[col]), g,
                              QPoint(col < 3 ? kFieldX[col] : kTypeX, 20));
        h->setFixedWidth(col < 3 ? kFieldW[col] : 100);
    }
    EditActions& actions = actions_;
    for (int row = 0; row < kBandsPerChannel; ++row) {
        const int y = 40 + row * 25;
        const EqBandId band = BandId(channel_, row);
        const QString bandName = name + QStringLiteral(" band %1").arg(row + 1);
        EditorLabel(QStringLiteral(" %1 ").arg(row + 1), g, QPoint(10, y + 3), BandColour(row));
        for (int col = 0; col < 3; ++col) {
            auto* field = new NumberField(kTables[col], memory, g);
            field->setGeometry(kFieldX[col], y, kFieldW[col], 22);
            field->setName(bandName + u' ' + QString::fromLatin1(kColumnNames[col]));
            const BandField what = kColumns[col];
            field->onCommitStart = [&actions, band] { actions.SetCurrentBand(band); };
            field->onStore = [&actions, band, what](int index) {
                actions.SetBandValue(band, what, index);
            };
            field->onSpin = [&actions, band, what](int delta) {
                return actions.StepBand(band, what, delta);
            };
            field->setText(FieldText(kTables[col], actions.BandIndex(band, what)));
            fields_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = field;
        }
        QComboBox* type = EditorList(EqTypeTexts(), g, QRect(kTypeX, y, 95, 22),
                                     bandName + QStringLiteral(" type"));
        connect(type, &QComboBox::currentIndexChanged, this, [this, &actions, band, row](int t) {
            actions.SetBandType(band, t);
            showQ(row, actions.BandIndex(band, BandField::Q));
            bandField(row, Gain)->setText(
                FieldText(FieldTable::EqGain, actions.BandIndex(band, BandField::Gain)));
        });
        types_[static_cast<std::size_t>(row)] = type;
    }
    reset_ = new QPushButton(QStringLiteral("Reset"), g);
    reset_->setGeometry(316, 238, 95, 22);
    reset_->setFont(ArialPx(13));
    reset_->setAccessibleName(name + QStringLiteral(" EQ reset"));
    connect(reset_, &QPushButton::clicked, this, [this] { emit resetClicked(channel_); });
}

void ChannelPage::showModel(const ParameterModel& model) {
    for (int row = 0; row < kBandsPerChannel; ++row) {
        const EqBandParams& band = model.bands[static_cast<std::size_t>(BandId(channel_, row))];
        bandField(row, Frequency)->setText(FieldText(FieldTable::Frequency, band.freqIndex));
        bandField(row, Gain)->setText(FieldText(FieldTable::EqGain, ActiveGainIndex(band)));
        setBandType(row, band.type);
        showQ(row, band.qIndex);
    }
    const ChannelParams& ch = model.channels[static_cast<std::size_t>(channel_)];
    for (const bool highPass : {true, false}) {
        setCrossoverType(highPass, highPass ? ch.hpfType : ch.lpfType);
        crossoverField(highPass)->setText(
            FieldText(FieldTable::Frequency, highPass ? ch.hpfFreqIndex : ch.lpfFreqIndex));
    }
}

void ChannelPage::setBandType(int row, int type) {
    QComboBox* t = bandType(row);
    const QSignalBlocker block(t);
    t->setCurrentIndex(type);
}

void ChannelPage::setCrossoverType(bool highPass, int type) {
    QComboBox* t = crossoverType(highPass);
    const QSignalBlocker block(t);
    t->setCurrentIndex(type);
}

void ChannelPage::showQ(int row, int qIndex) {
    const bool peaking = IsPeaking(bandType(row)->currentIndex());
    NumberField* q = bandField(row, Q);
    q->setText(peaking ? FieldText(FieldTable::Q, qIndex) : QString());
    q->setFieldEnabled(peaking);
}

void ChannelPage::showResetValues() {
    static const char* const kFrequencies[kBandsPerChannel] = {"19.7", "51.1", "102",  "198",
                                                               "500",  "1000", "2000", "2997"};
    for (int row = 0; row < kBandsPerChannel; ++row) {
        bandField(row, Frequency)->setText(QString::fromLatin1(kFrequencies[row]));
        bandField(row, Gain)->setText(QStringLiteral("0.0"));
        bandField(row, Q)->setText(QStringLiteral("1.0"));
        setBandType(row, 0);
        showQ(row, actions_.BandIndex(BandId(channel_, row), BandField::Q));
    }
}

} // namespace zx
