#include "model/hex_codec.h"

#include <cstdint>
#include <limits>

namespace zx {

int HexDigitValue(char16_t u) {
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    return -1;
}

QString HexText(unsigned value, int digits) {
    QString text;
    do {
        text.prepend(QChar(u"0123456789ABCDEF"[value & 0xF]));
        value >>= 4;
    } while (value != 0);
    if (text.size() < digits) text.prepend(QString(digits - text.size(), QChar(u'0')));
    return text;
}

std::optional<unsigned> HexValue(QStringView text) {
    if (text.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (QChar c : text) {
        const int digit = HexDigitValue(c.unicode());
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
        // A text too long for the value is as unusable as a bad digit.
        if (value > std::numeric_limits<unsigned>::max()) return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

} // namespace zx
