#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace zx {

// A preset file: one line of the 564-byte block frame as 1128 hex characters, then CR LF.
// The window's PC "Load" and "Store" and every tool read and write preset files only here.

inline constexpr int kPresetFileLineLimit = 4096;
inline constexpr qint64 kPresetFileSizeLimit = 1 << 20; // far beyond any preset file

// The frame text of a file's contents (8-bit text): its lines (ended by CR LF, LF or CR)
// joined without separators, each counting with at most its first 4096 characters; nullopt
// unless that makes exactly 1128 characters of hex pairs, digits of either case. Nothing is
// trimmed: a space or tab anywhere makes the file damaged. `why` says what is wrong.
std::optional<QString> ReadPresetFileText(const QByteArray& contents, QString* why = nullptr);

// The preset file at `path`, read and checked. `opened` is false when it could not be read
// at all ("Cannot open file."): missing, unreadable, or no regular file (a FIFO would keep
// the reader waiting). With `opened` and no frame text it is damaged ("File damaged.").
struct PresetFileRead {
    std::optional<QString> frameText;
    bool opened = false;
    QString why;
};
PresetFileRead ReadPresetFile(const QString& path);

// The bytes of a file that holds `frameText`: its first 1128 characters and CR LF.
QByteArray PresetFileBytes(QStringView frameText);

// `frameText` (1128 characters) with its image replaced by `image` (552 bytes) and its
// checksum made to match the header and image, the header kept.
QString FrameTextWithImage(QStringView frameText, const QByteArray& image);

} // namespace zx
