#include "app/start_files.h"

#include <QCommandLineParser>

#include "app/measurement_actions.h"
#include "model/channel_names.h"

namespace zx {

const char* const kStartFilesUsage =
    "  --measurement CHANNEL=FILE  a measured response of the channel (in_left, in_right,\n"
    "                              out_left, out_right, out_sub, out_4), drawn with the\n"
    "                              channel while the editor shows it; may be repeated\n"
    "  --target FILE|flat          the response the measured channels are fitted to\n"
    "                              (default flat)\n";

void AddStartFileOptions(QCommandLineParser& parser) {
    parser.addOption(
        QCommandLineOption(QStringLiteral("measurement"), {}, QStringLiteral("CHANNEL=FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("target"), {}, QStringLiteral("FILE")));
}

std::optional<StartFiles> ReadStartFiles(const QCommandLineParser& parser, QString& error) {
    StartFiles files;
    for (const QString& value : parser.values(QStringLiteral("measurement"))) {
        const qsizetype equals = value.indexOf(u'=');
        if (equals <= 0 || equals + 1 == value.size()) {
            error = QStringLiteral("--measurement takes CHANNEL=FILE, e.g. out_left=room.txt");
            return std::nullopt;
        }
        const QString name = value.left(equals);
        const auto ch = ChannelByName(name);
        if (!ch) {
            error = QStringLiteral("unknown channel %1").arg(name);
            return std::nullopt;
        }
        files.measurements.emplace_back(*ch, value.mid(equals + 1));
    }
    files.target = parser.value(QStringLiteral("target"));
    if (parser.isSet(QStringLiteral("target")) && files.target.isEmpty()) {
        error = QStringLiteral("--target takes a file or flat");
        return std::nullopt;
    }
    return files;
}

void LoadStartFiles(const StartFiles& files, MeasurementActions& measurements) {
    for (const auto& [ch, path] : files.measurements) {
        if (!files.target.isEmpty())
            measurements.loadTarget(ch, files.target == u"flat" ? QString() : files.target);
        measurements.loadMeasurement(ch, path);
    }
}

} // namespace zx
