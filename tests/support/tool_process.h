#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace zx {

// A built tool run as a script runs it, its surroundings spoiled on request.
struct ToolRun {
    int exitCode = -1; // -1: killed by a signal or still running after 30 s
    QByteArray out;
    QString err;
    qint64 ms = 0;
};
using Prepare = std::function<void(QProcess&)>;

inline ToolRun RunTool(const QString& tool, const QStringList& args, const QByteArray& input = {},
                       const Prepare& prepare = {}) {
    QProcess p;
    p.setProgram(tool);
    p.setArguments(args);
    if (prepare) prepare(p);
    QElapsedTimer t;
    t.start();
    p.start();
    p.write(input);
    p.closeWriteChannel();
    const bool ended = p.waitForFinished(30000);
    return {ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()), t.elapsed()};
}

// Standard output on a full disk.
inline void ToFullDisk(QProcess& p) {
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
}

// Files may grow to `bytes`; beyond, SIGXFSZ ends the tool unless it ignores the signal.
inline Prepare FileSizeLimit(rlim_t bytes) {
    return [bytes](QProcess& p) {
        p.setChildProcessModifier([bytes] {
            rlimit r{};
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &r);
            std::signal(SIGXFSZ, SIG_DFL);
        });
    };
}

// The tool run by a shell in `folder` with `arguments`, in which "$N" is a file name that is
// not UTF-8 (the one byte 0xFF): QProcess can pass only UTF-8.
inline Prepare WithNameNotUtf8(const QString& folder, const QString& arguments) {
    return [folder, arguments](QProcess& p) {
        p.setArguments(
            {QStringLiteral("-c"),
             QStringLiteral("cd \"$1\" && N=$(printf '\\377') && exec \"$0\" ") + arguments,
             p.program(), folder});
        p.setProgram(QStringLiteral("/bin/sh"));
    };
}

} // namespace zx
