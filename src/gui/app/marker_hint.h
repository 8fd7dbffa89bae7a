#pragma once

#include <QString>

#include "model/parameter_model.h"

namespace zx {

// The tooltip of a band marker: number, type, frequency, gain and, for a PEQ band, Q, in the
// entry fields' one-decimal format.
QString MarkerHint(const ParameterModel& model, EqBandId band);

} // namespace zx
