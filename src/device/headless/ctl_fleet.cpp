#include "headless/ctl_fleet.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <memory>

#include "headless/headless_views.h"
#include "headless/link_session.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/qt_platform.h"
#include "platform/routed_serial.h"

namespace zx {

namespace {

QString ResultWord(int status) {
    switch (status) {
    case kCtlOk:
        return QStringLiteral("ok");
    case kCtlDiffers:
        return QStringLiteral("differs");
    default:
        return QStringLiteral("failed");
    }
}

int Severity(int status) {
    switch (status) {
    case kCtlOk:
        return 0;
    case kCtlDiffers:
        return 1;
    default:
        return 2;
    }
}

// The single run's error lines as one message, without the program's name in front.
QString Message(const QString& errText) {
    QStringList lines = errText.split(u'\n', Qt::SkipEmptyParts);
    const QString prefix = QStringLiteral("zephranox-ctl: ");
    for (QString& line : lines)
        if (line.startsWith(prefix)) line.remove(0, prefix.size());
    return lines.join(QStringLiteral("; "));
}

} // namespace

int RunCtlOnPort(const CtlCommand& command, QTextStream& out, QTextStream& err) {
    // A path or an address names its device directly; any other name is an entry of the port
    // list the window shows.
    std::unique_ptr<PortList> ports;
    if (command.kind != CtlCommand::Kind::ListPorts && command.port.contains(u'/'))
        ports = std::make_unique<DevicePathPortList>(command.port);
    else
        ports = std::make_unique<SystemPortList>();

    QtTimerHub timers;
    QtClock clock;
    RoutedSerialDevice serial;
    LinkSession session(timers, clock, serial, *ports);
    return RunCtl(session, command, out, err);
}

std::optional<QStringList> ReadPortsFile(const QString& path, QString* why) {
    const auto bytes = ReadInputFile(path, kPortsFileSizeLimit, why);
    if (!bytes) return std::nullopt;
    QStringList ports;
    // Lines end in LF or CR LF.
    for (const QString& raw : QString::fromUtf8(*bytes).split(u'\n')) {
        const QString line = raw.section(u'#', 0, 0).trimmed();
        if (!line.isEmpty()) ports << line;
    }
    return ports;
}

std::vector<CtlDeviceResult> RunCtlOnPorts(const CtlCommand& command, const QStringList& ports) {
    std::vector<CtlDeviceResult> results(std::size_t(ports.size()));
    std::vector<std::unique_ptr<QThread>> threads;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        CtlDeviceResult& r = results[std::size_t(i)];
        r.port = ports[i];
        // Every Qt object of a link lives in its thread, made there, with that thread's
        // event loop.
        threads.emplace_back(QThread::create([&command, &r] {
            CtlCommand one = command;
            one.port = r.port;
            one.ports = QStringList{r.port};
            one.portsFile.clear();
            QString outText, errText;
            QTextStream out(&outText), err(&errText);
            r.status = RunCtlOnPort(one, out, err);
            err.flush();
            r.message = Message(errText);
        }));
        threads.back()->start();
    }
    for (auto& t : threads) t->wait();
    return results;
}

QString CtlResultLine(const CtlDeviceResult& result, bool json) {
    if (json) {
        const QJsonObject o{{QStringLiteral("port"), result.port},
                            {QStringLiteral("status"), result.status},
                            {QStringLiteral("result"), ResultWord(result.status)},
                            {QStringLiteral("message"), result.message}};
        return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }
    QString line = result.port + u' ' + ResultWord(result.status);
    if (!result.message.isEmpty()) line += u' ' + result.message;
    return line;
}

int WorstCtlStatus(const std::vector<CtlDeviceResult>& results) {
    int worst = kCtlOk;
    for (const CtlDeviceResult& r : results)
        if (Severity(r.status) > Severity(worst)) worst = r.status;
    return worst;
}

int RunCtlFleet(const CtlCommand& command, QTextStream& out, QTextStream& err) {
    QStringList ports = command.ports;
    if (!command.portsFile.isEmpty()) {
        QString why;
        const std::optional<QStringList> more = ReadPortsFile(command.portsFile, &why);
        if (!more) {
            err << "zephranox-ctl: --ports-file " << command.portsFile << ": " << why << Qt::endl;
            return kCtlFailed;
        }
        ports << *more;
    }
    QString problem;
    for (qsizetype i = 0; i < ports.size() && problem.isEmpty(); ++i) {
        problem = CtlPortError(ports[i]);
        // Two links cannot share one device.
        if (problem.isEmpty() && ports.indexOf(ports[i]) < i)
            problem = QStringLiteral("%1 is given twice").arg(ports[i]);
    }
    if (ports.isEmpty()) problem = QStringLiteral("no port given");
    if (!problem.isEmpty()) {
        err << "zephranox-ctl: " << problem << Qt::endl;
        return kWrongCommandLine;
    }
    const std::vector<CtlDeviceResult> results = RunCtlOnPorts(command, ports);
    for (const CtlDeviceResult& r : results) out << CtlResultLine(r, command.json) << '\n';
    out.flush();
    return WorstCtlStatus(results);
}

} // namespace zx
