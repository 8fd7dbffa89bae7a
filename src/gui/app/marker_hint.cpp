#include "app/marker_hint.h"

#include <QStringList>

#include "model/entry_fields.h"
#include "model/value_scales.h"

namespace zx {

QString MarkerHint(const ParameterModel& model, EqBandId band) {
    const EqBandParams& b = model.bands[static_cast<std::size_t>(band)];
    QString hint = QStringLiteral("Band %1  %2\n%3 Hz\n%4 dB")
                       .arg(band % kBandsPerChannel + 1)
                       .arg(EqTypeTexts().value(b.type))
                       .arg(FieldText(FieldTable::Frequency, b.freqIndex))
                       .arg(FieldText(FieldTable::EqGain, ActiveGainIndex(b)));
    if (IsPeaking(b)) hint += QStringLiteral("\nQ %1").arg(FieldText(FieldTable::Q, b.qIndex));
    return hint;
}

} // namespace zx
