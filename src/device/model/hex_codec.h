#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zx {

// Bytes travel and are stored as uppercase hex text, two digits a byte; readers take either
// case.

// Uppercase hex text of value, zero-filled on the left to at least `digits` characters.
QString HexText(unsigned value, int digits);
// The value of a text of hex digits in either case; nullopt for an empty text or any other
// character (a conversion error the caller handles).
std::optional<unsigned> HexValue(QStringView text);
// One hex digit's value, or -1.
int HexDigitValue(char16_t u);

} // namespace zx
