// zephranox-response's reading of a preset file: the file's text joined into a frame text,
// read into a model and turned into the response CSV.
//
// Input: the file's bytes (read as Latin-1, as the tool reads them); an odd first byte asks
// for the detailed CSV.

#include <cmath>

#include "model/preset_image.h"
#include "response/response_export.h"
#include "support/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zx;
    const QString file =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QString why;
    const std::optional<QString> frame = JoinPresetText(file, &why);
    if (!frame) {
        fuzz::Require(!why.isEmpty(), "a rejected file says why");
        return 0;
    }
    fuzz::Require(frame->size() == kPresetTextLength, "a joined text is one block");
    ParameterModel model;
    fuzz::Require(ReadImageText(*frame, model), "a joined text reads");

    const bool detail = size > 0 && (data[0] & 1);
    const QString csv = ResponseCsv(model, detail);
    const auto rows = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    fuzz::Require(rows.size() == 890, "a header and 889 rows");
    const int fields = detail ? 68 : 8;
    for (const QString& row : rows) {
        const auto cells = row.split(QLatin1Char(','));
        fuzz::Require(cells.size() == fields, "every row has its fields");
        fuzz::Require(!row.contains(QLatin1String("nan")), "no value is undefined");
    }
    return 0;
}
