#include "ui/fit_dialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zx {
namespace {

QDoubleSpinBox* NumberBox(double lowest, double highest, int decimals, const QString& suffix,
                          const QString& name) {
    auto* box = new QDoubleSpinBox;
    box->setRange(lowest, highest);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    box->setAccessibleName(name);
    return box;
}

} // namespace

FitDialog::FitDialog(QWidget* parent)
    : QDialog(parent), low_(NumberBox(10.0, 24000.0, 1, QStringLiteral(" Hz"),
                                      QStringLiteral("lowest frequency fitted"))),
      high_(NumberBox(10.0, 24000.0, 1, QStringLiteral(" Hz"),
                      QStringLiteral("highest frequency fitted"))),
      boost_(NumberBox(0.0, 12.0, 1, QStringLiteral(" dB"), QStringLiteral("most boost"))),
      shelves_(new QCheckBox(QStringLiteral("Shelves allowed"))),
      fit_(new QPushButton(QStringLiteral("Fit"))),
      close_(new QPushButton(QStringLiteral("Close"))), reading_(new QLabel), report_(new QLabel) {
    boost_->setSingleStep(0.5);
    auto* range = new QHBoxLayout;
    range->addWidget(low_);
    range->addWidget(new QLabel(QStringLiteral("to")));
    range->addWidget(high_);
    auto* keep = new QHBoxLayout;
    for (int b = 0; b < kBandsPerChannel; ++b) {
        auto* box = new QCheckBox(QString::number(b + 1));
        box->setAccessibleName(QStringLiteral("keep band %1").arg(b + 1));
        keep_[static_cast<std::size_t>(b)] = box;
        keep->addWidget(box);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Range"), range);
    form->addRow(QStringLiteral("Most boost"), boost_);
    form->addRow(QStringLiteral("Bands to keep"), keep);
    form->addRow(QString(), shelves_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(fit_);
    buttons->addWidget(close_);
    auto* all = new QVBoxLayout(this);
    all->addWidget(reading_);
    all->addLayout(form);
    all->addLayout(buttons);
    all->addWidget(report_);

    // Return anywhere in the dialog fits; Escape and "Close" leave it.
    fit_->setDefault(true);
    fit_->setAutoDefault(true);
    close_->setAutoDefault(false);
    report_->setWordWrap(true);
    reading_->setWordWrap(true);
    reading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(fit_, &QPushButton::clicked, this, &FitDialog::onFit);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void FitDialog::prepare(const QString& channelTitle) {
    setWindowTitle(QStringLiteral("Fit bands to measurement: %1").arg(channelTitle));
    const FitOptions defaults;
    low_->setValue(defaults.lowHz);
    high_->setValue(defaults.highHz);
    boost_->setValue(defaults.maxBoostDb);
    for (int b = 0; b < kBandsPerChannel; ++b)
        keep_[static_cast<std::size_t>(b)]->setChecked(defaults.keep[static_cast<std::size_t>(b)]);
    shelves_->setChecked(defaults.shelves);
    report_->clear();
    fit_->setFocus();
}

FitOptions FitDialog::options() const {
    FitOptions o;
    o.lowHz = low_->value();
    o.highHz = high_->value();
    o.maxBoostDb = boost_->value();
    for (int b = 0; b < kBandsPerChannel; ++b)
        o.keep[static_cast<std::size_t>(b)] = keep_[static_cast<std::size_t>(b)]->isChecked();
    o.shelves = shelves_->isChecked();
    return o;
}

void FitDialog::showReading(const QString& text) {
    reading_->setText(text);
}

void FitDialog::showReport(const QString& text) {
    report_->setText(text);
}

void FitDialog::onFit() {
    if (low_->value() >= high_->value()) {
        showReport(QStringLiteral("The range's low end must lie below its high end."));
        return;
    }
    emit fitRequested(options());
    if (linkDown && linkDown())
        showReport(report_->text() +
                   QStringLiteral("\nThe amplifier was not changed: it is not connected, and "
                                  "connecting reads its own settings. Store the fit in a file "
                                  "(PC Store) first to keep it."));
}

} // namespace zx
