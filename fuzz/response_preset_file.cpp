// zephranox-response's reading of a preset file: the file checked and joined into a frame
// text as the program's PC "Load" does it, read into a model and turned into the response CSV.
//
// Input: the file's bytes; a first byte whose low
// three bits are 001 asks for the detailed CSV (eight times the formatting, so kept rarer).

#include <cmath>

#include "model/preset_image.h"
#include "presets/preset_file_text.h"
#include "response/response_export.h"
#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    QString why;
    const std::optional<QString> frame = ReadPresetFileText(file, &why);
    if (!frame) {
        fuzz::Require(!why.isEmpty(), "a rejected file says why");
        return 0;
    }
    fuzz::Require(frame->size() == kBlockFrameTextSize, "a joined text is one block");
    ParameterModel model;
    fuzz::Require(ReadImageText(*frame, model), "a joined text reads");

    const bool detail = size > 0 && (data[0] & 7) == 1;
    const QString csv = ResponseCsv(model, detail);
    // Counted in place: splitting 890 rows into cells would be most of each input's time.
    const int fields = detail ? 68 : 8;
    int rows = 0;
    for (QStringView row : QStringView(csv).tokenize(u'\n', Qt::SkipEmptyParts)) {
        ++rows;
        fuzz::Require(row.count(u',') == fields - 1, "every row has its fields");
    }
    fuzz::Require(rows == 890, "a header and 889 rows");
    fuzz::Require(!csv.contains(QLatin1String("nan")), "no value is undefined");
    return 0;
}
