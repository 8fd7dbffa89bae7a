// zephranox-preset: turns an equaliser's filter list (Equalizer APO, Room EQ Wizard, AutoEQ)
// into a preset file and a preset file back into a filter list. See the README.

#include "fit/band_fit.h"
#include "fit/column_response.h"
#include "fit/fit_text.h"
#include "fit/measurement_load.h"
#include "model/channel_names.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "presets/filter_export.h"
#include "presets/filter_import.h"
#include "presets/filter_list.h"
#include "presets/list_match.h"
#include "presets/preset_file_text.h"
#include "presets/written_response.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kChanged = 3;

constexpr const char* kUsage =
    "usage: zephranox-preset import --channel NAME [--channel NAME ...] [--into PRESET]\n"
    "                               [--snap] [-o OUT] [--report] FILTERS\n"
    "       zephranox-preset export [--channel NAME ...] [-o OUT] [--report] PRESET\n"
    "       zephranox-preset fit --channel NAME --measurement FILE [--curve NAME]\n"
    "                            [--target FILE|flat] [--tilt DB] [--range LO-HI] [--smooth N]\n"
    "                            [--max-boost DB] [--keep LIST] [--into PRESET] [-o OUT]\n"
    "                            [--report]\n"
    "\n"
    "  import   reads a filter list (Equalizer APO / Room EQ Wizard / AutoEQ text; - reads\n"
    "           standard input) and writes a preset file to OUT or standard output\n"
    "  export   prints a preset file's channels as a filter list\n"
    "  fit      sets the channel's eight EQ bands, in the device's own values, so that the\n"
    "           measurement plus what the graph draws comes nearest the target, and writes\n"
    "           a preset file to OUT or standard output\n"
    "\n"
    "  --channel NAME  in_left, in_right, out_left, out_right, out_sub or out_4; export\n"
    "                  defaults to the five channels shown on screen; for import also\n"
    "                  LIST=NAME, the list's own channel LIST into NAME (e.g. L=out_left)\n"
    "  --snap          import each value to its nearest table entry instead of choosing the\n"
    "                  bands whose drawn response matches the list's\n"
    "  --into PRESET   start from this preset file (e.g. from zephranox-ctl dump) instead of\n"
    "                  the default settings, whose outputs are all routed OFF\n"
    "  -o OUT          write to OUT instead of standard output\n"
    "  --report        per channel, the largest difference between the list's filters and\n"
    "                  the response the device draws, and every value as it was snapped;\n"
    "                  for fit, the error before and after, the level offset and the bands\n"
    "\n"
    "  fit options:\n"
    "  --measurement FILE  frequency and level (text export, .frd, CSV with a header)\n"
    "  --curve NAME        the curve of a file that holds several (its name or beginning)\n"
    "  --target FILE|flat  the response to reach (default flat)\n"
    "  --tilt DB           added to the target per octave about 1 kHz (e.g. -0.5)\n"
    "  --range LO-HI       the frequencies fitted, in Hz (default 20-20000)\n"
    "  --smooth N          1/N octave smoothing of the measurement (default 6; 0 none)\n"
    "  --max-boost DB      most boost of a band (default 6, at most 12)\n"
    "  --keep LIST         bands left as they are, e.g. 1,2\n"
    "\n"
    "exit status: 0 done, 3 done with changes reported on standard error (import), 1\n"
    "unreadable input or nothing usable, 2 wrong command line\n";

void Print(FILE* to, const QString& text) {
    std::fputs(text.toUtf8().constData(), to);
}

int Fail(const QString& message) {
    Print(stderr, QStringLiteral("zephranox-preset: %1\n").arg(message));
    return kFailed;
}

// A file or, for "-", standard input; at most `maxBytes` of it when that is given.
std::optional<QByteArray> ReadAll(const QString& path, QString& error,
                                  std::optional<qint64> maxBytes = std::nullopt) {
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    QByteArray bytes = !opened ? QByteArray() : maxBytes ? file.read(*maxBytes) : file.readAll();
    if (!opened || file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// The frame text of a preset file, checked as the program's PC "Load" checks it.
std::optional<QString> ReadPreset(const QString& path, zx::ParameterModel& model, QString& error) {
    const auto bytes = ReadAll(path, error, zx::kPresetFileSizeLimit + 1);
    if (!bytes) return std::nullopt;
    QString why;
    auto frame = zx::ReadPresetFileText(*bytes, &why);
    if (!frame || !zx::ReadImageText(*frame, model)) {
        error = QStringLiteral("%1 is not a preset file: %2").arg(path, why);
        return std::nullopt;
    }
    return frame;
}

bool WriteOutput(const QString& path, const QByteArray& bytes, QString& error) {
    if (path.isEmpty() || path == QLatin1String("-")) {
        if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) !=
                static_cast<std::size_t>(bytes.size()) ||
            std::fflush(stdout) != 0) {
            error = QStringLiteral("cannot write to standard output");
            return false;
        }
        return true;
    }
    QString why;
    if (!zx::SaveWholeFile(path, bytes, &why)) {
        error = QStringLiteral("cannot write %1 (left as it was): %2").arg(path, why);
        return false;
    }
    return true;
}

void PrintNotes(const std::vector<zx::ListNote>& notes, bool withInfo) {
    for (const zx::ListNote& n : notes) {
        if (n.kind == zx::ListNote::Kind::Info && !withInfo) continue;
        const QString where = n.line > 0 ? QStringLiteral("line %1: ").arg(n.line) : QString();
        Print(stderr, QStringLiteral("%1%2: %3\n").arg(where, zx::NoteKindText(n.kind), n.text));
    }
}

void PrintReport(const zx::WrittenChannels& written, const zx::ParameterModel& model) {
    for (const zx::ChannelDeviation& d : zx::CompareWithDevice(written, model)) {
        Print(stderr, QStringLiteral("%1: largest difference %2 dB at %3 Hz\n")
                          .arg(zx::ChannelName(d.channel), QString::number(d.maxDb, 'f', 2),
                               QString::number(d.atHz, 'f', 1)));
    }
}

struct Options {
    QString command;
    std::vector<zx::ChannelId> channels;
    std::vector<zx::ListChannelName> names; // import: the list's channel names mapped
    bool snap = false;
    QString into;
    QString out;
    QString input;
    bool report = false;
    bool help = false;
    // fit
    QString measurement;
    QString curve;
    QString target;
    double tilt = 0.0;
    int smooth = 6;
    zx::FitOptions fit;
};

std::optional<double> NumberOption(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The fit command's own options; false, with the reason, when one cannot be used.
bool ReadFitOptions(const QCommandLineParser& parser, Options& o, QString& error) {
    const auto value = [&](const char* name) { return parser.value(QLatin1String(name)); };
    const auto isSet = [&](const char* name) { return parser.isSet(QLatin1String(name)); };
    o.measurement = value("measurement");
    if (o.measurement.isEmpty()) {
        error = QStringLiteral("fit needs --measurement");
        return false;
    }
    o.curve = value("curve");
    o.target = value("target");
    if (isSet("tilt")) {
        const auto tilt = NumberOption(value("tilt"));
        if (!tilt || std::abs(*tilt) > 6.0) {
            error = QStringLiteral("--tilt takes dB per octave between -6 and 6");
            return false;
        }
        o.tilt = *tilt;
    }
    if (isSet("range")) {
        const auto range = zx::ReadFitRange(value("range"));
        if (!range) {
            error = QStringLiteral("--range takes LO-HI in Hz, e.g. 20-20000");
            return false;
        }
        o.fit.lowHz = range->first;
        o.fit.highHz = range->second;
    }
    if (isSet("smooth")) {
        bool ok = false;
        o.smooth = value("smooth").toInt(&ok);
        if (!ok || o.smooth < 0 || o.smooth > 96) {
            error = QStringLiteral("--smooth takes N from 0 (none) to 96");
            return false;
        }
    }
    if (isSet("max-boost")) {
        const auto boost = NumberOption(value("max-boost"));
        if (!boost || *boost < 0.0 || *boost > 12.0) {
            error = QStringLiteral("--max-boost takes 0 to 12 dB");
            return false;
        }
        o.fit.maxBoostDb = *boost;
    }
    if (isSet("keep")) {
        const auto keep = zx::ReadKeepList(value("keep"));
        if (!keep) {
            error = QStringLiteral("--keep takes band numbers 1 to 8, e.g. 1,2");
            return false;
        }
        o.fit.keep = *keep;
    }
    if (o.channels.size() != 1) {
        error = QStringLiteral("fit needs exactly one --channel");
        return false;
    }
    return true;
}

// The command line after the program's name; nullopt, with the reason, when it cannot be used.
std::optional<Options> ParseArguments(const QStringList& args, QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption channel(QStringLiteral("channel"), {}, QStringLiteral("NAME"));
    const QCommandLineOption into(QStringLiteral("into"), {}, QStringLiteral("PRESET"));
    const QCommandLineOption out(QStringLiteral("o"), {}, QStringLiteral("OUT"));
    const QCommandLineOption report(QStringLiteral("report"));
    const QCommandLineOption snap(QStringLiteral("snap"));
    parser.addOptions({channel, into, out, report, snap});
    const char* fitOnly[] = {"measurement", "curve",  "target",    "tilt",
                             "range",       "smooth", "max-boost", "keep"};
    for (const char* name : fitOnly)
        parser.addOption(QCommandLineOption(QLatin1String(name), {}, QStringLiteral("VALUE")));
    const zx::ToolArguments read = zx::ReadToolArguments(parser, args);
    error = read.error;
    if (!error.isEmpty()) return std::nullopt;
    Options o;
    o.help = read.help;
    if (o.help) return o;

    QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        error = QStringLiteral("no command");
        return std::nullopt;
    }
    o.command = words.takeFirst();
    if (o.command != u"import" && o.command != u"export" && o.command != u"fit") {
        error = QStringLiteral("unknown command %1").arg(o.command);
        return std::nullopt;
    }
    if (o.command != u"fit") {
        for (const char* name : fitOnly) {
            if (parser.isSet(QLatin1String(name))) {
                error = QStringLiteral("unexpected --%1").arg(QLatin1String(name));
                return std::nullopt;
            }
        }
    }
    if (parser.isSet(into) && o.command == u"export") {
        error = QStringLiteral("unexpected --into");
        return std::nullopt;
    }
    if (words.size() > 1) {
        error = QStringLiteral("unexpected %1").arg(words[1]);
        return std::nullopt;
    }
    if (parser.isSet(snap) && o.command != u"import") {
        error = QStringLiteral("unexpected --snap");
        return std::nullopt;
    }
    o.snap = parser.isSet(snap);
    for (const QString& value : parser.values(channel)) {
        const qsizetype equals = value.indexOf(u'=');
        if (equals >= 0 && o.command != u"import") {
            error = QStringLiteral("--channel %1: LIST=NAME is for import").arg(value);
            return std::nullopt;
        }
        const QString name = equals < 0 ? value : value.mid(equals + 1);
        const auto ch = zx::ChannelByName(name);
        if (!ch || (equals >= 0 && value.left(equals).trimmed().isEmpty())) {
            error = QStringLiteral("unknown channel %1").arg(value);
            return std::nullopt;
        }
        if (equals >= 0) o.names.push_back({value.left(equals).trimmed(), *ch});
        o.channels.push_back(*ch);
    }
    o.into = parser.value(into);
    o.out = parser.value(out);
    o.input = words.value(0);
    o.report = parser.isSet(report);
    if (o.command == u"fit") {
        if (!words.isEmpty()) {
            error = QStringLiteral("unexpected %1").arg(words[0]);
            return std::nullopt;
        }
        if (!ReadFitOptions(parser, o, error)) return std::nullopt;
        return o;
    }
    if (o.input.isEmpty()) {
        error = o.command == u"import" ? QStringLiteral("no filter list named")
                                       : QStringLiteral("no preset file named");
        return std::nullopt;
    }
    if (o.command == u"import" && o.channels.empty()) {
        error = QStringLiteral("import needs at least one --channel");
        return std::nullopt;
    }
    return o;
}

// The preset `into` with what the import replaced: the imported channels' gain, crossovers
// and band records. Everything else keeps its byte, the preset name, bypass flags and
// reserved bytes too, so importing a preset's own export gives back the same file.
QString ImportedInto(const QString& into, const zx::ParameterModel& model,
                     const std::vector<zx::ChannelId>& channels) {
    QByteArray image = *zx::ImagePayloadOfText(into);
    const QByteArray imported = zx::ImageBytes(model);
    for (zx::ChannelId ch : channels) zx::CopyChannelFilterBytes(imported, image, ch);
    return zx::FrameTextWithImage(into, image);
}

// A preset made from the default settings silences the amplifier: say so.
void WarnDefaults(const QString& whatIsSet) {
    Print(stderr, QStringLiteral("zephranox-preset: without --into everything but %1\n"
                                 "  is the default: every output is routed OFF (the amplifier "
                                 "stays silent) and no other\n"
                                 "  channel has a crossover; start from the amplifier's settings "
                                 "with\n"
                                 "  zephranox-ctl --port PORT dump -o unit.preset, then use "
                                 "--into unit.preset\n")
                      .arg(whatIsSet));
}

int Import(const Options& o) {
    QString error;
    zx::ParameterModel model;
    std::optional<QString> into;
    if (!o.into.isEmpty() && !(into = ReadPreset(o.into, model, error))) return Fail(error);
    const auto bytes = ReadAll(o.input, error);
    if (!bytes) return Fail(error);

    const zx::FilterList list = zx::ReadFilterList(zx::DecodeFileText(*bytes));
    zx::FilterImport result = zx::ImportFilterList(list, o.channels, model, o.names);
    if (!o.snap && result.usable) zx::MatchListResponse(result, model);
    PrintNotes(result.notes, o.report);
    if (!result.usable)
        return Fail(QStringLiteral("%1 holds no filter that could be used").arg(o.input));

    if (!into) WarnDefaults(QStringLiteral("the imported channels' EQ, gain and crossovers"));
    const QString text = into ? ImportedInto(*into, model, o.channels) : zx::WriteImageText(model);
    if (!WriteOutput(o.out, zx::PresetFileBytes(text), error)) return Fail(error);
    if (o.report) PrintReport(result.written, model);
    return result.HasChanges() ? kChanged : kOk;
}

int Export(const Options& o) {
    QString error;
    zx::ParameterModel model;
    if (!ReadPreset(o.input, model, error)) return Fail(error);
    std::vector<zx::ChannelId> channels = o.channels;
    if (channels.empty()) channels = {0, 1, 2, 3, 4};

    const QString text = zx::ExportFilterList(model, channels);
    if (!WriteOutput(o.out, text.toUtf8(), error)) return Fail(error);
    if (o.report) {
        zx::ParameterModel reread = model;
        const auto again = zx::ImportFilterList(zx::ReadFilterList(text), channels, reread);
        PrintReport(again.written, model);
    }
    return kOk;
}

// A measurement or target file's curve; `wrongLine` tells a curve the command line must choose
// (or names wrongly) from a file that cannot be read.
std::optional<zx::MeasurementCurve> ReadCurve(const QString& path, const QString& name,
                                              bool& wrongLine, QString& error) {
    const auto bytes = ReadAll(path, error);
    if (!bytes) return std::nullopt;
    const zx::MeasurementRead read = zx::ReadMeasurementBytes(path, *bytes);
    if (!read.error.isEmpty()) {
        error = read.error;
        return std::nullopt;
    }
    if (!read.note.isEmpty())
        Print(stderr, QStringLiteral("zephranox-preset: %1\n").arg(read.note));
    auto curve = zx::CurveOfFile(path, read.file, name, error);
    if (!curve) wrongLine = read.file.levels.size() > 1 || !name.isEmpty();
    return curve;
}

// The preset `into` with the channel's eight band records from the fit; every other byte
// stays.
QString FittedInto(const QString& into, const zx::ParameterModel& model, zx::ChannelId ch) {
    QByteArray image = *zx::ImagePayloadOfText(into);
    zx::CopyChannelBandBytes(zx::ImageBytes(model), image, ch);
    return zx::FrameTextWithImage(into, image);
}

int Fit(const Options& o) {
    QString error;
    zx::ParameterModel model;
    std::optional<QString> into;
    if (!o.into.isEmpty() && !(into = ReadPreset(o.into, model, error))) return Fail(error);
    bool wrongLine = false;
    const auto measured = ReadCurve(o.measurement, o.curve, wrongLine, error);
    if (!measured) {
        if (wrongLine) return zx::RefuseCommandLine("zephranox-preset", error, kUsage);
        return Fail(error);
    }
    zx::ResponseCurve target = zx::FlatTarget(o.tilt);
    if (!o.target.isEmpty() && o.target != u"flat") {
        const auto curve = ReadCurve(o.target, {}, wrongLine, error);
        if (!curve) return Fail(error);
        target = zx::TargetOnColumns(*curve, o.tilt);
    }
    const zx::ChannelId ch = o.channels.front();
    const zx::FitResult result =
        zx::FitChannel(model, ch, zx::MeasurementOnColumns(*measured, o.smooth), target, o.fit);
    if (!result.fitted) {
        return Fail(QStringLiteral("%1 has no point between %2 and %3 Hz where the target is "
                                   "known")
                        .arg(o.measurement)
                        .arg(o.fit.lowHz)
                        .arg(o.fit.highHz));
    }
    zx::ApplyFit(result, ch, model);
    if (!into) WarnDefaults(QStringLiteral("the channel's EQ bands"));
    const QString text = into ? FittedInto(*into, model, ch) : zx::WriteImageText(model);
    if (!WriteOutput(o.out, zx::PresetFileBytes(text), error)) return Fail(error);
    if (o.report) {
        Print(stderr,
              zx::ChannelName(ch) + QStringLiteral(": ") + zx::FitReportText(result, o.fit));
    }
    return kOk;
}

} // namespace

int Run(const QCoreApplication& app) {
    QString error;
    const auto options = ParseArguments(app.arguments().mid(1), error);
    if (!options) return zx::RefuseCommandLine("zephranox-preset", error, kUsage);
    if (options->help) {
        std::fputs(kUsage, stdout);
        return kOk;
    }
    if (options->command == u"fit") return Fit(*options);
    return options->command == u"import" ? Import(*options) : Export(*options);
}

int main(int argc, char** argv) {
    return zx::ToolMain(argc, argv, "zephranox-preset", Run, {kOk, kChanged});
}
