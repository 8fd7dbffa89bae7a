#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "model/parameter_model.h"

namespace zx {

// The settings in readable form: per channel gain, delay, mute, polarity, routing and limiter
// (outputs), the crossovers and the eight bands, in the units the screens show.
QString SettingsText(const ParameterModel& m);
// The same as a JSON document for scripts; channels go by their command-line names
// (in_left .. out_4).
QByteArray SettingsJson(const ParameterModel& m);

// What differs between two sets of settings, one entry per group ("Out left band 3"); the
// bypass flags and the preset name are not compared.
QStringList SettingsDifferences(const ParameterModel& expected, const ParameterModel& actual);

} // namespace zx
