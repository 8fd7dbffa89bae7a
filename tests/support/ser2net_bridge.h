#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <vector>

namespace zx {

// ser2net run for one test on the loopback, with its own configuration and pid file in a
// temporary folder (never the system's service): each bridge offers one pseudo-terminal on a
// TCP port of its own, raw or as Telnet with the com-port option.
class Ser2netBridge {
  public:
    struct Bridge {
        QString terminal; // /dev/pts/N
        bool telnet = false;
        QString lineSettings = QStringLiteral("9600n81");
    };

    // The installed program; empty when ser2net is not installed.
    static QString Program() {
        return QStandardPaths::findExecutable(QStringLiteral("ser2net"),
                                              {QStringLiteral("/usr/sbin"),
                                               QStringLiteral("/usr/local/sbin"),
                                               QStringLiteral("/sbin")});
    }

    ~Ser2netBridge() { stop(); }

    // Starts ser2net and waits until every port listens; false with the reason.
    bool start(const std::vector<Bridge>& bridges, QString* error) {
        QString yaml;
        for (std::size_t i = 0; i < bridges.size(); ++i) {
            const quint16 port = FreePort();
            const Bridge& b = bridges[i];
            // Bytes from the terminal go on at once rather than after two character times
            // (chardelay): a busy machine can stretch that wait far beyond its 1 to 20 ms.
            yaml += QStringLiteral("connection: &bridge%1\n"
                                   "  accepter: %2tcp,127.0.0.1,%3\n"
                                   "  connector: serialdev,%4,%5,local\n"
                                   "  options:\n"
                                   "    chardelay: false\n")
                        .arg(i)
                        .arg(b.telnet ? QStringLiteral("telnet(rfc2217),") : QString())
                        .arg(port)
                        .arg(b.terminal, b.lineSettings);
            ports_.push_back(port);
            addresses_ << QStringLiteral("%1://127.0.0.1:%2")
                              .arg(b.telnet ? QStringLiteral("rfc2217") : QStringLiteral("tcp"))
                              .arg(port);
        }
        const QString config = dir_.filePath(QStringLiteral("ser2net.yaml"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly) || f.write(yaml.toUtf8()) < 0) {
            *error = QStringLiteral("cannot write %1").arg(config);
            return false;
        }
        f.close();
        // -n: in the foreground, ended with the test; -u: no UUCP lock files.
        process_.setProgram(Program());
        process_.setArguments({QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                               config, QStringLiteral("-P"),
                               dir_.filePath(QStringLiteral("ser2net.pid"))});
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) {
            *error = QStringLiteral("ser2net did not start: %1").arg(process_.errorString());
            return false;
        }
        QElapsedTimer t;
        t.start();
        while (!AllListening()) {
            if (process_.state() != QProcess::Running || t.elapsed() > 10000) {
                *error = QStringLiteral("ser2net is not listening: %1")
                             .arg(QString::fromUtf8(process_.readAll()));
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    // The address of bridge i, as the program takes it.
    QString address(int i) const { return addresses_.value(i); }
    QStringList addresses() const { return addresses_; }

    // Ends ser2net: every connection drops.
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

  private:
    static quint16 FreePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }
    // Every port in the kernel's table of listening sockets (state 0A).
    bool AllListening() const {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly)) return false;
        const QString text = QString::fromLatin1(table.readAll());
        for (quint16 port : ports_) {
            const QString local =
                QStringLiteral("0100007F:%1 00000000:0000 0A").arg(port, 4, 16, QLatin1Char('0'));
            if (!text.contains(local.toUpper())) return false;
        }
        return true;
    }

    QTemporaryDir dir_;
    QProcess process_;
    std::vector<quint16> ports_;
    QStringList addresses_;
};

} // namespace zx
