#include "ui/preset_area.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "model/parameter_model.h"
#include "presets/device_presets.h"
#include "ui/ui_style.h"

namespace zx {
namespace {

// The frame's corners in the signal-flow panel; the widget starts at the top-left one.
constexpr QPoint kOrigin(32, 136);
constexpr int kRight = 554, kBottom = 234, kSplitX = 312, kHeadingLineY = 160;

QPoint Local(QPoint panelPos) {
    return panelPos - kOrigin;
}

void WhiteLabel(const QString& text, QWidget* parent, QPoint panelPos) {
    auto* l = new QLabel(text, parent);
    l->setFont(ArialPx(13));
    l->setStyleSheet(QStringLiteral("color: white;"));
    l->move(Local(panelPos));
    l->adjustSize();
}

} // namespace

PresetArea::PresetArea(QWidget* signalFlowPanel)
    : QWidget(signalFlowPanel),
      deviceLoad_(button(QStringLiteral("Load"), QStringLiteral("Device Load"), {60, 170})),
      deviceStore_(button(QStringLiteral("Store"), QStringLiteral("Device Store"), {183, 170})),
      pcLoad_(button(QStringLiteral("Load"), QStringLiteral("PC Load"), {324, 170})),
      pcStore_(button(QStringLiteral("Store"), QStringLiteral("PC Store"), {447, 170})),
      activeName_(new QLineEdit(this)) {
    setGeometry(QRect(kOrigin, QPoint(kRight + 1, kBottom + 1)));
    setAccessibleName(QStringLiteral("Preset area"));

    WhiteLabel(QStringLiteral("Device"), this, {46, 140});
    WhiteLabel(QStringLiteral("PC"), this, {334, 140});
    WhiteLabel(QStringLiteral("DSP active preset"), this, {40, 204});

    activeName_->setGeometry(QRect(Local({152, 201}), QSize(128, 22)));
    activeName_->setReadOnly(true);
    activeName_->setMaxLength(19);
    activeName_->setFocusPolicy(Qt::NoFocus); // reacts to no keys
    activeName_->setFont(ArialPx(13));
    activeName_->setStyleSheet(FieldStyle("QLineEdit"));
    activeName_->setAccessibleName(QStringLiteral("DSP active preset"));

    connect(deviceLoad_, &QPushButton::clicked, this, &PresetArea::deviceLoadClicked);
    connect(deviceStore_, &QPushButton::clicked, this, &PresetArea::deviceStoreClicked);
    connect(pcLoad_, &QPushButton::clicked, this, &PresetArea::pcLoadClicked);
    connect(pcStore_, &QPushButton::clicked, this, &PresetArea::pcStoreClicked);
}

QPushButton* PresetArea::button(const QString& caption, const QString& accessibleName,
                                QPoint panelPos) {
    auto* b = new QPushButton(caption, this);
    b->setGeometry(QRect(Local(panelPos), QSize(93, 22)));
    b->setFont(ArialPx(13));
    b->setAccessibleName(accessibleName);
    return b;
}

void PresetArea::setActivePresetName(const QString& name) {
    activeName_->setText(name);
    activeName_->setCursorPosition(0);
}

void PresetArea::showModel(const ParameterModel& model) {
    setActivePresetName(DevicePresets::ShownName(model.imageName));
}

void PresetArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(QColor(200, 200, 200), 2, Qt::SolidLine, Qt::SquareCap));
    const QPoint tl = Local(kOrigin) + QPoint(1, 1);
    const QPoint br = Local({kRight, kBottom});
    p.drawRect(QRect(tl, br));
    p.drawLine(Local({kSplitX, kOrigin.y()}), Local({kSplitX, kBottom}));
    p.drawLine(Local({kOrigin.x(), kHeadingLineY}), Local({kRight, kHeadingLineY}));
}

} // namespace zx
