#include "headless/preset_commands.h"

#include "fit/column_response.h"
#include "fit/fit_text.h"
#include "fit/measurement_load.h"
#include "model/parameter_model.h"
#include "model/preset_image.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "presets/filter_export.h"
#include "presets/filter_list.h"
#include "presets/list_match.h"
#include "presets/preset_file_text.h"
#include "presets/written_response.h"

#include <QCommandLineParser>
#include <QIODevice>

#include <cmath>

namespace zx {

const char kPresetUsageText[] =
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
    "                  for fit, what was read of each file, the error before and after, the\n"
    "                  level offset and the bands\n"
    "\n"
    "  fit options:\n"
    "  --measurement FILE  frequency and level (text export, .frd, CSV with a header,\n"
    "                      frequency/level pairs, blocks stacked with their own headers)\n"
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

namespace {

std::optional<double> NumberOption(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The fit command's own options; false, with the reason, when one cannot be used.
bool ReadFitOptions(const QCommandLineParser& parser, PresetCommand& o, QString& error) {
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
        const auto range = ReadFitRange(value("range"));
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
        const auto keep = ReadKeepList(value("keep"));
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
std::optional<PresetCommand> ParseArguments(const QStringList& args, QString& error, bool& help) {
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
    const ToolArguments read = ReadToolArguments(parser, args);
    error = read.error;
    if (!error.isEmpty()) return std::nullopt;
    PresetCommand o;
    help = read.help;
    if (help) return std::nullopt;

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
        const auto ch = ChannelByName(name);
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

} // namespace

PresetParse ParsePresetArgs(const QStringList& args) {
    PresetParse p;
    p.command = ParseArguments(args, p.error, p.help);
    return p;
}

namespace {

// A file or, for "-", standard input, of at most `maxBytes`.
std::optional<QByteArray> ReadAll(const QString& path, QString& error, qint64 maxBytes) {
    QString why;
    auto bytes = ReadInputFile(path, maxBytes, &why, true);
    if (!bytes) error = QStringLiteral("cannot read %1: %2").arg(path, why);
    return bytes;
}

// The frame text of a preset file, checked as the program's PC "Load" checks it.
std::optional<QString> ReadPreset(const QString& path, ParameterModel& model, QString& error) {
    const auto bytes = ReadAll(path, error, kPresetFileSizeLimit);
    if (!bytes) return std::nullopt;
    QString why;
    auto frame = ReadPresetFileText(*bytes, &why);
    if (!frame || !ReadImageText(*frame, model)) {
        error = QStringLiteral("%1 is not a preset file: %2").arg(path, why);
        return std::nullopt;
    }
    return frame;
}

// The preset `into` with what the import replaced: the imported channels' gain, crossovers
// and band records. Everything else keeps its byte, the preset name, bypass flags and
// reserved bytes too, so importing a preset's own export gives back the same file.
QString ImportedInto(const QString& into, const ParameterModel& model,
                     const std::vector<ChannelId>& channels) {
    QByteArray image = *ImagePayloadOfText(into);
    const QByteArray imported = ImageBytes(model);
    for (ChannelId ch : channels) CopyChannelFilterBytes(imported, image, ch);
    return FrameTextWithImage(into, image);
}

// The preset `into` with the channel's eight band records from the fit; every other byte
// stays.
QString FittedInto(const QString& into, const ParameterModel& model, ChannelId ch) {
    QByteArray image = *ImagePayloadOfText(into);
    CopyChannelBandBytes(ImageBytes(model), image, ch);
    return FrameTextWithImage(into, image);
}

// The commands, with the streams they write to.
class PresetRun {
  public:
    PresetRun(QIODevice& out, QTextStream& err) : out_(out), err_(err) {}

    int Import(const PresetCommand& o) {
        QString error;
        ParameterModel model;
        std::optional<QString> into;
        if (!o.into.isEmpty() && !(into = ReadPreset(o.into, model, error))) return Fail(error);
        const auto bytes = ReadAll(o.input, error, kFilterListSizeLimit);
        if (!bytes) return Fail(error);

        const FilterList list = ReadFilterList(DecodeFileText(*bytes));
        FilterImport result = ImportFilterList(list, o.channels, model, o.names);
        if (!o.snap && result.usable) MatchListResponse(result, model);
        PrintNotes(result.notes, o.report);
        if (!result.usable)
            return Fail(QStringLiteral("%1 holds no filter that could be used").arg(o.input));

        if (!into) WarnDefaults(QStringLiteral("the imported channels' EQ, gain and crossovers"));
        const QString text = into ? ImportedInto(*into, model, o.channels) : WriteImageText(model);
        if (!WriteOutput(o.out, PresetFileBytes(text), error)) return Fail(error);
        if (o.report) PrintReport(result.written, model);
        return result.HasChanges() ? kPresetChanged : kPresetOk;
    }

    int Export(const PresetCommand& o) {
        QString error;
        ParameterModel model;
        if (!ReadPreset(o.input, model, error)) return Fail(error);
        std::vector<ChannelId> channels = o.channels;
        if (channels.empty()) channels = {0, 1, 2, 3, 4};

        const QString text = ExportFilterList(model, channels);
        if (!WriteOutput(o.out, text.toUtf8(), error)) return Fail(error);
        if (o.report) {
            ParameterModel reread = model;
            const auto again = ImportFilterList(ReadFilterList(text), channels, reread);
            PrintReport(again.written, model);
        }
        return kPresetOk;
    }

    int Fit(const PresetCommand& o) {
        QString error;
        ParameterModel model;
        std::optional<QString> into;
        if (!o.into.isEmpty() && !(into = ReadPreset(o.into, model, error))) return Fail(error);
        bool wrongLine = false;
        QString reading;
        const auto measured =
            ReadCurve(o.measurement, o.curve, wrongLine, error, o.report ? &reading : nullptr);
        if (!measured) {
            if (!wrongLine) return Fail(error);
            err_ << "zephranox-preset: " << error << '\n' << kPresetUsageText;
            return kPresetUsage;
        }
        if (o.report) Print(QStringLiteral("measurement %1\n").arg(reading));
        // Fewer points than bands and their widths cannot place a band.
        const QString sparse = FitRangeFault(*measured, o.fit.lowHz, o.fit.highHz);
        if (!sparse.isEmpty()) return Fail(QStringLiteral("%1: %2").arg(o.measurement, sparse));
        ResponseCurve target = FlatTarget(o.tilt);
        if (!o.target.isEmpty() && o.target != u"flat") {
            const auto curve =
                ReadCurve(o.target, {}, wrongLine, error, o.report ? &reading : nullptr);
            if (!curve) return Fail(error);
            if (o.report) Print(QStringLiteral("target %1\n").arg(reading));
            target = TargetOnColumns(*curve, o.tilt);
        }
        const ChannelId ch = o.channels.front();
        const FitResult result =
            FitChannel(model, ch, MeasurementOnColumns(*measured, o.smooth), target, o.fit);
        if (!result.fitted) {
            return Fail(QStringLiteral("%1 has no point between %2 and %3 Hz where the target is "
                                       "known")
                            .arg(o.measurement)
                            .arg(o.fit.lowHz)
                            .arg(o.fit.highHz));
        }
        ApplyFit(result, ch, model);
        if (!into) WarnDefaults(QStringLiteral("the channel's EQ bands"));
        const QString text = into ? FittedInto(*into, model, ch) : WriteImageText(model);
        if (!WriteOutput(o.out, PresetFileBytes(text), error)) return Fail(error);
        if (o.report) Print(ChannelName(ch) + QStringLiteral(": ") + FitReportText(result, o.fit));
        return kPresetOk;
    }

  private:
    void Print(const QString& text) {
        err_ << text;
        err_.flush();
    }

    int Fail(const QString& message) {
        Print(QStringLiteral("zephranox-preset: %1\n").arg(message));
        return kPresetFailed;
    }

    bool WriteOutput(const QString& path, const QByteArray& bytes, QString& error) {
        if (path.isEmpty() || path == QLatin1String("-")) {
            if (out_.write(bytes) != bytes.size()) {
                error = QStringLiteral("cannot write to standard output");
                return false;
            }
            return true;
        }
        QString why;
        if (!SaveWholeFile(path, bytes, &why)) {
            error = QStringLiteral("cannot write %1 (left as it was): %2").arg(path, why);
            return false;
        }
        return true;
    }

    void PrintNotes(const std::vector<ListNote>& notes, bool withInfo) {
        for (const ListNote& n : notes) {
            if (n.kind == ListNote::Kind::Info && !withInfo) continue;
            const QString where = n.line > 0 ? QStringLiteral("line %1: ").arg(n.line) : QString();
            Print(QStringLiteral("%1%2: %3\n").arg(where, NoteKindText(n.kind), n.text));
        }
    }

    void PrintReport(const WrittenChannels& written, const ParameterModel& model) {
        for (const ChannelDeviation& d : CompareWithDevice(written, model)) {
            Print(QStringLiteral("%1: largest difference %2 dB at %3 Hz\n")
                      .arg(ChannelName(d.channel), QString::number(d.maxDb, 'f', 2),
                           QString::number(d.atHz, 'f', 1)));
        }
    }

    // A preset made from the default settings silences the amplifier: say so.
    void WarnDefaults(const QString& whatIsSet) {
        Print(QStringLiteral("zephranox-preset: without --into everything but %1\n"
                             "  is the default: every output is routed OFF (the amplifier "
                             "stays silent) and no other\n"
                             "  channel has a crossover; start from the amplifier's settings "
                             "with\n"
                             "  zephranox-ctl --port PORT dump -o unit.preset, then use "
                             "--into unit.preset\n")
                  .arg(whatIsSet));
    }

    // A measurement or target file's curve, and in `reading` (for --report, instead of the
    // note) what was read; `wrongLine` tells a curve the command line must choose (or names
    // wrongly) from a file that cannot be read.
    std::optional<MeasurementCurve> ReadCurve(const QString& path, const QString& name,
                                              bool& wrongLine, QString& error, QString* reading) {
        const auto bytes = ReadAll(path, error, kMeasurementSizeLimit);
        if (!bytes) return std::nullopt;
        const MeasurementRead read = ReadMeasurementBytes(path, *bytes);
        if (!read.error.isEmpty()) {
            error = read.error;
            return std::nullopt;
        }
        // --report says it in the line of what was read.
        if (!read.note.isEmpty() && !reading)
            Print(QStringLiteral("zephranox-preset: %1\n").arg(read.note));
        // A name that finds no curve, or none where the file holds several, is the command
        // line's fault; a curve that is no measurement is the file's.
        if (FindCurve(read.file, name, &error) < 0) {
            wrongLine = read.file.curves.size() > 1 || !name.isEmpty();
            error = QStringLiteral("%1: %2").arg(path, error);
            return std::nullopt;
        }
        auto curve = CurveOfFile(path, read.file, name, error);
        if (curve && reading) *reading = DescribeReading(read.file, *curve);
        return curve;
    }

    QIODevice& out_;
    QTextStream& err_;
};

} // namespace

int RunPresetCommand(const PresetCommand& command, QIODevice& out, QTextStream& err) {
    PresetRun run(out, err);
    if (command.command == u"fit") return run.Fit(command);
    return command.command == u"import" ? run.Import(command) : run.Export(command);
}

} // namespace zx
