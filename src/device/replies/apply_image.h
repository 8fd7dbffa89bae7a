#pragma once

#include <functional>

#include "model/parameter_model.h"

namespace zx {

class SerialTransport;
class SendSlots;

// Replaces the whole model with the parameter block whose 1128-character frame text sits in
// the receive buffer, from the device or from a preset file.
class ImageApplier {
  public:
    ImageApplier(ParameterModel& model, SerialTransport& transport, SendSlots& sendSlots);

    // Raised once per applied block, after the model has been replaced and while the link
    // flag is still held down, so the screen refresh that listens here sends nothing even
    // where it runs the controls' own change handling.
    void setImageAppliedHandler(std::function<void()> handler) {
        imageApplied_ = std::move(handler);
    }

    // Leaves the buffer empty, no parameter frame pending and LinkUp set (a caller without
    // an open port clears it again).
    void ApplyPresetImage();

  private:
    ParameterModel& model_;
    SerialTransport& transport_;
    SendSlots& slots_;
    std::function<void()> imageApplied_;
};

} // namespace zx
