// zephranox-response: prints the frequency response a preset file gives on the graph, as
// CSV on standard output. See the README for the columns.

#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "presets/preset_file_text.h"
#include "response/response_export.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "usage: zephranox-response [--detail] PRESET_FILE\n"
    "  PRESET_FILE  a preset file saved by the program; - reads standard input\n"
    "  --detail     also print each channel's band, high-pass and low-pass curves\n";

int Fail(const QString& message) {
    std::fprintf(stderr, "zephranox-response: %s\n", qPrintable(message));
    return 1;
}

int Run(const QCoreApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption detailOption(QStringLiteral("detail"));
    parser.addOption(detailOption);
    const zx::ToolArguments read = zx::ReadToolArguments(parser, app.arguments().mid(1));
    if (!read.error.isEmpty())
        return zx::RefuseCommandLine("zephranox-response", read.error, kUsage);
    if (read.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // One preset file, named by the only argument that is no option.
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1 || files[0].isEmpty())
        return zx::RefuseCommandLine("zephranox-response", {}, kUsage);
    const QString& path = files[0];
    const bool detail = parser.isSet(detailOption);

    QString why;
    const auto contents = zx::ReadInputFile(path, zx::kPresetFileSizeLimit, &why, true);
    if (!contents) return Fail(QStringLiteral("cannot read %1: %2").arg(path, why));

    const std::optional<QString> frame = zx::ReadPresetFileText(*contents, &why);
    if (!frame) return Fail(QStringLiteral("%1 is not a preset file: %2").arg(path, why));
    zx::ParameterModel model;
    if (!zx::ReadImageText(*frame, model))
        return Fail(QStringLiteral("%1 is not a preset file: its block cannot be read").arg(path));

    QTextStream out(stdout);
    out << zx::ResponseCsv(model, detail);
    out.flush();
    return out.status() == QTextStream::Ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return zx::ToolMain(argc, argv, "zephranox-response", Run);
}
