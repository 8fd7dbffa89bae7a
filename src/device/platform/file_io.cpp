#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zx {
namespace {

bool Fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

} // namespace

void ReportFileSizeLimitAsError() {
#ifdef SIGXFSZ
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
#endif
}

bool CanSaveTo(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return Fail(error, QStringLiteral("Not a regular file"));
    if (!info.absoluteDir().exists()) return Fail(error, QStringLiteral("No such folder"));
    return true;
}

bool SaveWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    ReportFileSizeLimitAsError();
    // The temporary file would replace a device or FIFO by a plain file (/dev/null among
    // them, for a user allowed to write /dev).
    if (!CanSaveTo(path, error)) return false;
    QSaveFile file(path);
    // Unbuffered, each write reaches the system at once. QSaveFile takes a buffered write
    // that the system cut short as done and would put the cut file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(error, file.errorString());
    // A write cut short is tried again, so that the system says why (a full disk, the
    // file-size limit).
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return Fail(error, why);
        }
        written += n;
    }
#ifdef Q_OS_UNIX
    // What the system still held back (a disk that fills on delayed allocation, a network
    // file system) fails here, while the old file is still in place; commit() ignores it.
    // EINVAL: a file system that cannot sync.
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return Fail(error, why);
    }
#endif
    // Closes the temporary file and renames it over the old one; on a failure the temporary
    // file is removed. Qt 6.4 does not count a failed close among commit()'s failures but
    // does record it.
    if (!file.commit() || file.error() != QFileDevice::NoError)
        return Fail(error, file.errorString());
    return true;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, QString* error) {
    const QFileInfo info(path);
    QFile file(path);
    QString why;
    if (!info.exists())
        why = QStringLiteral("No such file or directory");
    else if (!info.isFile())
        why = QStringLiteral("Not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    if (why.isEmpty()) {
        QByteArray contents = file.read(maxBytes);
        if (file.error() == QFileDevice::NoError) return contents;
        why = file.errorString();
    }
    if (error) *error = why;
    return std::nullopt;
}

std::optional<QByteArray> ReadInputFile(const QString& path, qint64 maxBytes, QString* error,
                                        bool standardInput) {
    const auto tooLong = [&] {
        if (error) {
            *error = QStringLiteral("longer than %1, the most that is read")
                         .arg(maxBytes >= (1 << 20) ? QStringLiteral("%1 MB").arg(maxBytes >> 20)
                                                    : QStringLiteral("%1 bytes").arg(maxBytes));
        }
        return std::nullopt;
    };
    std::optional<QByteArray> bytes;
    if (standardInput && path == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            if (error) *error = in.errorString();
            return std::nullopt;
        }
        // One byte more than is taken tells an input that is too long.
        bytes = in.read(maxBytes + 1);
        if (in.error() != QFileDevice::NoError) {
            if (error) *error = in.errorString();
            return std::nullopt;
        }
    } else {
        const QFileInfo info(path);
        if (info.isFile() && info.size() > maxBytes) return tooLong();
        bytes = ReadRegularFile(path, maxBytes + 1, error);
    }
    if (bytes && bytes->size() > maxBytes) return tooLong();
    return bytes;
}

} // namespace zx
