#include "platform/command_line.h"

#include "platform/file_io.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zx {

ToolArguments ReadToolArguments(QCommandLineParser& parser, const QStringList& args) {
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    ToolArguments read;
    // The parser skips the first entry, the program's name.
    if (!parser.parse(QStringList{QString()} + args)) read.error = parser.errorText();
    read.help = read.error.isEmpty() && parser.isSet(QStringLiteral("help"));
    return read;
}

int RefuseCommandLine(const char* tool, const QString& message, const char* usage) {
    if (!message.isEmpty()) std::fprintf(stderr, "%s: %s\n", tool, message.toUtf8().constData());
    std::fputs(usage, stderr);
    return kWrongCommandLine;
}

std::optional<QString> UnfaithfulArgument(int argc, char** argv) {
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#else
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString decoded = QFile::decodeName(raw);
        if (QFile::encodeName(decoded) != raw) return decoded;
    }
#endif
    return std::nullopt;
}

QString UnfaithfulArgumentText(const QString& argument) {
    return QStringLiteral("\"%1\" is not valid UTF-8; file names must be, or another file would "
                          "be used")
        .arg(argument);
}

bool CloseStandardOutput(QString* error) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int flushErrno = errno;
    errno = 0;
    // A standard output that was never open has lost nothing if nothing was written to it.
    const bool closed = std::fclose(stdout) == 0 || (flushed && errno == EBADF);
    if (flushed && closed) return true;
    if (error) {
        const int e = flushed ? errno : flushErrno;
        *error = e ? QString::fromLocal8Bit(std::strerror(e)) : QStringLiteral("write error");
    }
    return false;
}

int ToolMain(int argc, char** argv, const char* tool,
             const std::function<int(const QCoreApplication&)>& run,
             std::initializer_list<int> successes) {
    QCoreApplication app(argc, argv);
    ReportFileSizeLimitAsError();
    if (const auto bad = UnfaithfulArgument(argc, argv)) {
        std::fprintf(stderr, "%s: %s\n", tool, UnfaithfulArgumentText(*bad).toUtf8().constData());
        return 1;
    }
    int status = run(app);
    QString error;
    if (!CloseStandardOutput(&error)) {
        std::fprintf(stderr, "%s: standard output: %s\n", tool, error.toUtf8().constData());
        if (std::find(successes.begin(), successes.end(), status) != successes.end()) status = 1;
    }
    return status;
}

} // namespace zx
