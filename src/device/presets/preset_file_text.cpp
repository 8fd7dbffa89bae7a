#include "presets/preset_file_text.h"

#include <QRegularExpression>

#include "model/hex_codec.h"
#include "model/preset_image.h"
#include "platform/file_io.h"

namespace zx {
namespace {

constexpr int kChecksumTextOffset = kBlockFrameTextSize - 4;
constexpr int kFirstSummedByte = 3; // the address; A5 A5 A5 is not summed

std::optional<QString> Damaged(QString* why, const QString& text) {
    if (why) *why = text;
    return std::nullopt;
}

} // namespace

std::optional<QString> ReadPresetFileText(const QByteArray& contents, QString* why) {
    if (contents.size() > kPresetFileSizeLimit)
        return Damaged(why, QStringLiteral("larger than any preset file"));
    static const QRegularExpression kLineEnd(QStringLiteral("\r\n|\r|\n"));
    const QString all = QString::fromLatin1(contents);
    QString joined;
    for (const QString& line : all.split(kLineEnd)) {
        joined += line.left(kPresetFileLineLimit);
        if (joined.size() > kBlockFrameTextSize) break;
    }
    if (joined.size() != kBlockFrameTextSize) {
        return Damaged(why, QStringLiteral("%1 characters where a preset file has %2")
                                .arg(joined.size() > kBlockFrameTextSize
                                         ? QStringLiteral("more than %1").arg(kBlockFrameTextSize)
                                         : QString::number(joined.size()))
                                .arg(kBlockFrameTextSize));
    }
    for (int i = 0; i < kBlockFrameTextSize; ++i) {
        if (HexDigitValue(joined[i].unicode()) < 0) {
            return Damaged(
                why,
                QStringLiteral("character %1 (\"%2\") is no hex digit").arg(i + 1).arg(joined[i]));
        }
    }
    return joined;
}

PresetFileRead ReadPresetFile(const QString& path) {
    PresetFileRead read;
    // One byte more than a preset file may hold tells a file that is too long.
    const std::optional<QByteArray> contents =
        ReadRegularFile(path, kPresetFileSizeLimit + 1, &read.why);
    if (!contents) return read;
    read.opened = true;
    read.frameText = ReadPresetFileText(*contents, &read.why);
    return read;
}

QByteArray PresetFileBytes(QStringView frameText) {
    return frameText.left(kBlockFrameTextSize).toLatin1() + "\r\n";
}

QString FrameTextWithImage(QStringView frameText, const QByteArray& image) {
    QString text = frameText.left(kImageTextOffset).toString().toUpper();
    std::uint8_t sum = 0;
    for (int i = kFirstSummedByte; 2 * i < kImageTextOffset; ++i)
        sum ^= static_cast<std::uint8_t>(HexValue(frameText.mid(2 * i, 2)).value_or(0));
    for (char byte : image) sum ^= static_cast<std::uint8_t>(byte);
    text += QString::fromLatin1(image.toHex().toUpper());
    text += HexText(sum, 2) + frameText.mid(kChecksumTextOffset + 2, 2).toString().toUpper();
    return text;
}

} // namespace zx
