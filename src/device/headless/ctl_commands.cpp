#include "headless/ctl_commands.h"

#include "headless/link_session.h"
#include "headless/settings_report.h"
#include "link/frame.h"
#include "model/preset_image.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/network_address.h"
#include "presets/device_presets.h"
#include "presets/preset_file_text.h"

#include <QCommandLineParser>

namespace zx {

static_assert(kCtlUsage == kWrongCommandLine);

const char kCtlUsageText[] =
    "usage: zephranox-ctl --port PORT [--port PORT ...] [--ports-file FILE] COMMAND ...\n"
    "       zephranox-ctl --list-ports\n"
    "PORT is a device path, a port-list entry such as ttyUSB0 or ttyV0, or a network port\n"
    "tcp://HOST:PORT (raw) or rfc2217://HOST:PORT (Telnet). --ports-file names more ports,\n"
    "one a line (# starts a comment).\n"
    "With several ports the command (load, recall or store) runs on every device at once, and\n"
    "one line per device tells PORT, ok/failed/differs and the message (--json: one JSON\n"
    "object a line).\n"
    "commands:\n"
    "  dump [-o FILE]        the device's live settings as a preset file (default: standard "
    "output)\n"
    "  load FILE [--verify]  writes a preset file to the device; --verify reads it back\n"
    "  names                 the twenty preset slots, one a line\n"
    "  recall SLOT           recalls preset slot 1..20\n"
    "  store SLOT NAME       stores the live settings in slot 1..20 under NAME (at most 19\n"
    "                        characters), then recalls it\n"
    "  show [--json]         the live settings, readable or as JSON\n"
    "exit status: 0 success, 1 the device or the file failed, 2 a wrong command line,\n"
    "             4 the verification found differences; with several ports the worst of\n"
    "             them (1 before 4 before 0)\n";

namespace {

CtlParse Error(const QString& text) {
    CtlParse p;
    p.error = text;
    return p;
}

std::optional<int> SlotNumber(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > kPresetSlotCount) return std::nullopt;
    return n;
}

// One line on err in the program's own words, with what was being done.
int Fail(QTextStream& err, const QString& doing, const QString& message, int status = kCtlFailed) {
    err << "zephranox-ctl: " << doing << ": "
        << (message.isEmpty() ? QStringLiteral("the link went down") : message) << Qt::endl;
    return status;
}

// The settings a frame text carries, as the image reader takes them.
std::optional<ParameterModel> SettingsOf(const QString& frameText) {
    ParameterModel m;
    if (!ReadImageText(frameText, m)) return std::nullopt;
    return m;
}

// What differs between the image of a file and the device's, byte for byte: the settings that
// read differently, or else the offsets of the bytes (the reader clamps a value out of range,
// so a byte the device holds out of range reads like the right one).
std::optional<QStringList> ImageDifferences(const QString& expectedText,
                                            const QString& actualText) {
    const std::optional<QByteArray> expected = ImagePayloadOfText(expectedText);
    const std::optional<QByteArray> actual = ImagePayloadOfText(actualText);
    const std::optional<ParameterModel> expectedSettings = SettingsOf(expectedText);
    const std::optional<ParameterModel> actualSettings = SettingsOf(actualText);
    if (!expected || !actual || !expectedSettings || !actualSettings) return std::nullopt;
    QStringList differences = SettingsDifferences(*expectedSettings, *actualSettings);
    if (!differences.isEmpty()) return differences;
    for (int i = 0; i < kImageSize; ++i)
        if ((*expected)[i] != (*actual)[i]) differences << QStringLiteral("image byte %1").arg(i);
    return differences;
}

int Load(LinkSession& s, const CtlCommand& c, QTextStream& err) {
    const QString doing = QStringLiteral("load %1").arg(c.file);
    s.dialogs.openAnswer = c.file;
    s.link.presetFiles.OnLoadButton();
    if (!s.failure().isEmpty()) return Fail(err, doing, s.failure());
    // As in the window: the block is taken on its acknowledgement or, after the progress run,
    // on a read-back that matches; otherwise the load ends with its time-out message.
    if (!s.WaitFor([&s] { return !s.link.presetFiles.Busy(); }, kLoadSettleLimitMs))
        return Fail(err, doing, s.failure());
    if (!s.link.presetFiles.LoadTaken) return Fail(err, doing, s.failure());
    if (!c.verify) return kCtlOk;

    const std::optional<QString> fileText = ReadPresetFile(c.file).frameText;
    if (!fileText) return Fail(err, doing, QStringLiteral("File damaged."));
    const QString readBack = s.ReadDeviceBlock();
    if (readBack.isEmpty()) return Fail(err, doing + QStringLiteral(" (read-back)"), s.failure());
    const std::optional<QStringList> differences = ImageDifferences(*fileText, readBack);
    if (!differences) return Fail(err, doing, QStringLiteral("File damaged."));
    if (differences->isEmpty()) return kCtlOk;
    return Fail(err, doing,
                QStringLiteral("the device holds other settings than the file: ") +
                    differences->join(QStringLiteral(", ")),
                kCtlDiffers);
}

int Dump(LinkSession& s, const CtlCommand& c, QTextStream& out, QTextStream& err) {
    const QString doing =
        c.file.isEmpty() ? QStringLiteral("dump") : QStringLiteral("dump -o %1").arg(c.file);
    if (!c.file.isEmpty())
        return s.SaveDeviceBlock(c.file) ? kCtlOk : Fail(err, doing, s.failure());
    const QString text = s.ReadDeviceBlock();
    if (text.isEmpty()) return Fail(err, doing, s.failure());
    out << text << "\r\n";
    return kCtlOk;
}

int Recall(LinkSession& s, int slot, QTextStream& err, const QString& doing) {
    s.link.devicePresets.RecallPreset(slot - 1);
    if (s.WaitFor([&s] { return !s.link.devicePresets.RecallPending; }, kRecallLimitMs))
        return kCtlOk;
    return Fail(err, doing, s.failure());
}

int RunConnected(LinkSession& s, const CtlCommand& c, QTextStream& out, QTextStream& err) {
    switch (c.kind) {
    case CtlCommand::Kind::Dump:
        return Dump(s, c, out, err);
    case CtlCommand::Kind::Load:
        return Load(s, c, err);
    case CtlCommand::Kind::Names:
        for (const QString& entry : s.link.devicePresets.Selector.entries) out << entry << '\n';
        return kCtlOk;
    case CtlCommand::Kind::Recall:
        return Recall(s, c.slot, err, QStringLiteral("recall %1").arg(c.slot));
    case CtlCommand::Kind::Store:
        // As the window's store: the name frame, then the recall of the slot just stored.
        if (!s.link.devicePresets.StorePresetName(c.slot, c.name) || !s.failure().isEmpty())
            return Fail(err, QStringLiteral("store %1").arg(c.slot), s.failure());
        return Recall(s, c.slot, err, QStringLiteral("store %1").arg(c.slot));
    case CtlCommand::Kind::Show:
        if (c.json)
            out << QString::fromUtf8(SettingsJson(s.model));
        else
            out << SettingsText(s.model);
        return kCtlOk;
    case CtlCommand::Kind::ListPorts:
        break;
    }
    return kCtlOk;
}

// A file that cannot be used fails before the port is opened: the load's file is read and
// checked, dump's file must be one that can be saved. A FIFO would stop the load with polling
// stopped until something writes to it.
int CheckFile(const CtlCommand& c, QTextStream& err) {
    QString why;
    if (c.kind == CtlCommand::Kind::Load) {
        const PresetFileRead file = ReadPresetFile(c.file);
        if (file.frameText) return kCtlOk;
        const QString message =
            file.opened ? QStringLiteral("File damaged.") : QStringLiteral("Cannot open file.");
        return Fail(err, QStringLiteral("load %1 (%2)").arg(c.file, file.why), message);
    }
    if (c.kind == CtlCommand::Kind::Dump && !c.file.isEmpty() && !CanSaveTo(c.file, &why)) {
        return Fail(err, QStringLiteral("dump -o %1 (%2)").arg(c.file, why),
                    QStringLiteral("Cannot save file."));
    }
    return kCtlOk;
}

} // namespace

QString CtlPortError(const QString& port) {
    if (LooksLikeNetworkAddress(port) && !ParseNetworkAddress(port))
        return QStringLiteral("%1 is no network port: tcp://HOST:PORT or rfc2217://HOST:PORT")
            .arg(port);
    return {};
}

CtlParse ParseCtlArgs(const QStringList& args) {
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("PORT"));
    const QCommandLineOption portsFile(QStringLiteral("ports-file"), {}, QStringLiteral("FILE"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"));
    // The options of the commands; each command takes exactly its own.
    const QCommandLineOption out(QStringLiteral("o"), {}, QStringLiteral("FILE"));
    const QCommandLineOption verify(QStringLiteral("verify"));
    const QCommandLineOption json(QStringLiteral("json"));
    parser.addOptions({port, portsFile, listPorts, out, verify, json});
    const ToolArguments read = ReadToolArguments(parser, args);
    if (!read.error.isEmpty()) return Error(read.error);
    if (read.help) {
        CtlParse p;
        p.help = true;
        return p;
    }

    CtlCommand c;
    c.ports = parser.values(port);
    c.port = c.ports.value(0);
    c.portsFile = parser.value(portsFile);
    c.file = parser.value(out);
    c.verify = parser.isSet(verify);
    c.json = parser.isSet(json);
    QStringList words = parser.positionalArguments();
    QStringList given;
    for (const QCommandLineOption& o : {out, verify, json})
        if (parser.isSet(o)) given << o.names().constFirst();
    if (parser.isSet(listPorts)) {
        if (!words.isEmpty() || !given.isEmpty())
            return Error(QStringLiteral("--list-ports takes no command"));
        c.kind = CtlCommand::Kind::ListPorts;
        return {c, false, {}};
    }
    if (c.ports.isEmpty() && c.portsFile.isEmpty()) return Error(QStringLiteral("no --port given"));
    for (const QString& p : c.ports) {
        if (p.isEmpty()) return Error(QStringLiteral("an empty --port"));
        if (const QString why = CtlPortError(p); !why.isEmpty()) return Error(why);
    }
    if (words.isEmpty()) return Error(QStringLiteral("no command given"));

    const QString cmd = words.takeFirst();
    const bool several = RunsOnSeveralPorts(c);
    if (several && cmd != QLatin1String("load") && cmd != QLatin1String("recall") &&
        cmd != QLatin1String("store"))
        return Error(QStringLiteral("with several ports the command is load, recall or store"));
    // With several ports --json shapes the results, whatever the command.
    if (several) given.removeAll(QStringLiteral("json"));
    auto only = [&words, &given](const QStringList& allowed, int positional) {
        for (const QString& o : given)
            if (!allowed.contains(o)) return false;
        return words.size() == positional;
    };
    if (cmd == QLatin1String("dump")) {
        if (!only({QStringLiteral("o")}, 0)) return Error(QStringLiteral("usage: dump [-o FILE]"));
        c.kind = CtlCommand::Kind::Dump;
    } else if (cmd == QLatin1String("load")) {
        if (!only({QStringLiteral("verify")}, 1))
            return Error(QStringLiteral("usage: load FILE [--verify]"));
        c.kind = CtlCommand::Kind::Load;
        c.file = words[0];
    } else if (cmd == QLatin1String("names")) {
        if (!only({}, 0)) return Error(QStringLiteral("usage: names"));
        c.kind = CtlCommand::Kind::Names;
    } else if (cmd == QLatin1String("recall")) {
        const auto slot = only({}, 1) ? SlotNumber(words[0]) : std::nullopt;
        if (!slot) return Error(QStringLiteral("usage: recall SLOT, SLOT 1..20"));
        c.kind = CtlCommand::Kind::Recall;
        c.slot = *slot;
    } else if (cmd == QLatin1String("store")) {
        const auto slot = only({}, 2) ? SlotNumber(words[0]) : std::nullopt;
        if (!slot) return Error(QStringLiteral("usage: store SLOT NAME, SLOT 1..20"));
        c.kind = CtlCommand::Kind::Store;
        c.slot = *slot;
        c.name = DevicePresets::TrimName(words[1]);
        // The device keeps 19 one-byte characters; a name is never cut silently.
        if (c.name.size() >= kNameFieldSize)
            return Error(QStringLiteral("a preset name has at most 19 characters"));
        for (QChar ch : c.name)
            if (ch.unicode() > 0xFF)
                return Error(QStringLiteral("a preset name takes only Latin-1 characters"));
    } else if (cmd == QLatin1String("show")) {
        if (!only({QStringLiteral("json")}, 0))
            return Error(QStringLiteral("usage: show [--json]"));
        c.kind = CtlCommand::Kind::Show;
    } else {
        return Error(QStringLiteral("unknown command %1").arg(cmd));
    }
    return {c, false, {}};
}

int RunCtl(LinkSession& s, const CtlCommand& c, QTextStream& out, QTextStream& err) {
    if (c.kind == CtlCommand::Kind::ListPorts) {
        QStringList entries;
        if (!s.link.transport.ListPorts(entries))
            return Fail(err, QStringLiteral("list ports"),
                        QStringLiteral("the ports cannot be listed"));
        for (const QString& e : entries) out << e << '\n';
        return kCtlOk;
    }
    if (const int status = CheckFile(c, err); status != kCtlOk) return status;
    s.dialogs.clearMessages();
    if (!s.Connect(c.port)) {
        const int status = Fail(err, QStringLiteral("connect %1").arg(c.port), s.failure());
        s.Disconnect();
        return status;
    }
    const int status = RunConnected(s, c, out, err);
    s.Disconnect();
    out.flush();
    return status;
}

} // namespace zx
