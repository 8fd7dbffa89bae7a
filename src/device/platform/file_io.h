#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zx {

// Writes `bytes` as the whole new contents of `path` through a temporary file in the same
// folder that replaces the old file only once every byte has reached the disk and the file
// has closed without an error. A save that cannot finish (a full disk, the file-size limit)
// leaves the old file as it was. A path that names a folder, FIFO or device is refused.
// False, with the system's reason in `error`, on any failure.
bool SaveWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// At most the first `maxBytes` bytes of a regular file (a caller that must know whether a file
// is longer asks for one byte more than it takes). A FIFO, a device or a folder is refused
// before it is opened: opening a FIFO waits for a writer that may never come.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes,
                                          QString* error = nullptr);

// The whole of a regular file of at most `maxBytes` bytes, or with `standardInput` set and the
// path "-", standard input up to that size. Everything the program and the tools read comes
// through here: a folder, FIFO or device (/dev/zero) is refused before it is opened, a longer
// file before it is read. Nothing, with the reason in `error`, otherwise.
std::optional<QByteArray> ReadInputFile(const QString& path, qint64 maxBytes,
                                        QString* error = nullptr, bool standardInput = false);

// Whether SaveWholeFile may save to `path`: its folder exists, and the path is no folder,
// FIFO or device. False with the reason in `error`. Lets a tool refuse before any work.
bool CanSaveTo(const QString& path, QString* error = nullptr);

// A write beyond the process's file-size limit ends the process with SIGXFSZ unless that
// signal is ignored; ignored, the write fails with an error that the writer reports like a
// full disk. Called before any file or standard output is written; nothing on Windows.
void ReportFileSizeLimitAsError();

} // namespace zx
