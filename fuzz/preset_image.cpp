// The image reader and applying a block: a frame text as it may come from the device or a
// file, read into a model, applied through the receive buffer, written back and read again,
// and the response curves computed from the result.
//
// Input: byte 0 chooses the form, the rest is the text. Form 0: the bytes as text, any
// characters. Form 1: a block header and the bytes as hex digits, padded with zeros to a whole
// block, so that most inputs reach every field.

#include "model/preset_image.h"
#include "link/send_slots.h"
#include "link/serial_transport.h"
#include "replies/apply_image.h"
#include "response/response_curves.h"
#include "support/fuzz_checks.h"
#include "window_doubles/test_platform.h"

namespace {

using namespace zx;

QString TextOf(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 0) return QString::fromLatin1(bytes);
    QString text =
        QStringLiteral("A5A5A500520028000228") + QString::fromLatin1(bytes.toHex().toUpper());
    if (text.size() < 1128) text += QString(1128 - text.size(), QLatin1Char('0'));
    return text;
}

// The fields a written text leaves out: the bypass flags and the name go as zeros.
ParameterModel WithoutUnwrittenFields(ParameterModel m) {
    for (ChannelParams& c : m.channels) c.bypass = 0;
    m.imageName.clear();
    return m;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QString text = TextOf(data, size);

    ParameterModel read;
    const bool ok = ReadImageText(text, read);
    if (!ok)
        fuzz::Require(read == ParameterModel(), "a rejected text leaves the model alone");
    else
        fuzz::RequireInRange(read, false);
    (void)ImagePayloadOfText(text);

    // Applied as a block from the device: the model changes only when the text was readable.
    TestPlatform tp;
    SerialTransport transport(tp.serial, tp.ports, tp.clock);
    ParameterModel model;
    SendSlots sendSlots(model, transport, tp.clock);
    ImageApplier applier(model, transport, sendSlots);
    transport.RxHexBuffer = text;
    applier.ApplyPresetImage();
    fuzz::Require(transport.RxHexBuffer.isEmpty() && transport.LinkUp && !sendSlots.AnyPending(),
                  "applying leaves the buffer empty and nothing pending");
    fuzz::RequireInRange(model);
    fuzz::ReadEveryLookup(model);
    if (!ok) {
        fuzz::Require(model == ParameterModel(), "an unreadable block changes nothing");
        return 0;
    }

    // What the program writes reads back as the same settings.
    ParameterModel again;
    fuzz::Require(ReadImageText(WriteImageText(model), again), "a written text reads back");
    fuzz::Require(WithoutUnwrittenFields(again) == WithoutUnwrittenFields(model),
                  "a written text reads back as the same settings");

    ResponseCurves curves;
    BandMarkers markers = InitialBandMarkers();
    RecomputeAllCurves(model, curves, markers);
    return 0;
}
