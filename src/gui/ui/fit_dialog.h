#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "fit/band_fit.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace zx {

// The fit's options for one channel: the range, the most boost, the bands to keep and whether
// shelves may be used, filled with the defaults `zephranox-preset fit` has. Return fits at
// once; the dialog stays open and shows the error before and after under its button.
class FitDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FitDialog(QWidget* parent = nullptr);

    // Opens on the channel with the defaults and an empty report.
    void prepare(const QString& channelTitle);
    FitOptions options() const;
    // What the channel's measurement and target were read as, over the options.
    void showReading(const QString& text);
    void showReport(const QString& text);

    QDoubleSpinBox* lowField() const { return low_; }
    QDoubleSpinBox* highField() const { return high_; }
    QDoubleSpinBox* boostField() const { return boost_; }
    QCheckBox* keepBox(int band) const { return keep_[static_cast<std::size_t>(band)]; }
    QCheckBox* shelvesBox() const { return shelves_; }
    QPushButton* fitButton() const { return fit_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* reading() const { return reading_; }
    QLabel* report() const { return report_; }

    // Whether the amplifier is disconnected; a fit then says what becomes of it.
    std::function<bool()> linkDown;

  signals:
    void fitRequested(const zx::FitOptions& options);

  private:
    void onFit();

    QDoubleSpinBox* low_;
    QDoubleSpinBox* high_;
    QDoubleSpinBox* boost_;
    std::array<QCheckBox*, kBandsPerChannel> keep_{};
    QCheckBox* shelves_;
    QPushButton* fit_;
    QPushButton* close_;
    QLabel* reading_;
    QLabel* report_;
};

} // namespace zx
