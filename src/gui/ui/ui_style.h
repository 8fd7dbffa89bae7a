#pragma once

#include <QColor>
#include <QFont>

namespace zx {

inline QFont ArialPx(int pixels) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

inline const QColor kWindowGrey(51, 51, 51);
inline const QColor kLinkUpGreen(0, 125, 0);
inline const QColor kLinkDownRed(255, 0, 0);
inline const QColor kMuteOffGrey(224, 224, 224);
inline const QColor kMuteOnRed(255, 0, 0);
inline const QColor kSilver(192, 192, 192);

} // namespace zx
