#pragma once

#include "model/parameter_model.h"
#include "presets/filter_import.h"

namespace zx {

// Import that matches the list's response: for every channel the import wrote, the device's
// band values whose drawn response (with the channel's gain and crossovers) comes nearest the
// response the list's filters play, by the same fit as a measurement's, starting both afresh
// and from the values snapped one by one, and kept only where it beats them. A channel whose
// bands all came back as exported keeps them. Adds a note per channel with the figures and
// one per band.
void MatchListResponse(FilterImport& result, ParameterModel& model);

} // namespace zx
