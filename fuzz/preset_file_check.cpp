// The program's preset-file check, then what a load does with an accepted file: the block
// written to the device and the image applied to the model. A file is accepted only as exactly
// 1128 characters of hex pairs, and then both must succeed.
//
// Input: the file's bytes.

#include "link/frame.h"
#include "model/preset_image.h"
#include "presets/preset_file_text.h"
#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto text = ReadPresetFileText(contents);
    if (!text) return 0;
    fuzz::Require(text->size() == kBlockFrameTextSize, "accepted text has the block's length");

    const auto body = BlockWriteBody(*text);
    fuzz::Require(body.has_value(), "an accepted file can be written to the device");
    fuzz::Require(body->size() == kBlockFrameSize - kHeaderSize, "the body follows the header");

    ParameterModel model;
    fuzz::Require(ReadImageText(*text, model), "an accepted file can be read");
    fuzz::RequireInRange(model, false);
    fuzz::ReadEveryLookup(model);
    return 0;
}
