#include "replies/apply_image.h"

#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "model/preset_image.h"
#include "model/value_scales.h"

namespace zx {

ImageApplier::ImageApplier(ParameterModel& model, SerialTransport& transport, SendSlots& sendSlots)
    : model_(model), transport_(transport), slots_(sendSlots) {}

void ImageApplier::ApplyPresetImage() {
    // Held down so that the refresh below marks no send slot.
    transport_.LinkUp = false;

    // The dispatcher and the file check guarantee a whole block of hex digits; a text that
    // still fails leaves the model as it was.
    ReadImageText(transport_.RxHexBuffer, model_);

    // The reader leaves the delay unclamped; the delay controls and the frames only know
    // 0..960 steps.
    for (ChannelParams& ch : model_.channels) {
        if (ch.delaySteps > kMaxDelaySteps) {
            ch.delaySteps = kMaxDelaySteps;
            RefreshHalves(ch);
        }
    }

    if (imageApplied_) imageApplied_();

    // Edits made before the block are void: the device now holds the block's values. A frame
    // picked before it would otherwise still be written afterwards and undo part of it.
    slots_.DropAll();
    transport_.LinkUp = true;
    transport_.RxHexBuffer.clear();
}

} // namespace zx
