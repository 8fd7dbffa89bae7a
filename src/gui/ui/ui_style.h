#pragma once

#include <QColor>
#include <QFont>
#include <QString>

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

// The style sheet of a silver entry field or list (kind: "QLineEdit", "QComboBox") with black
// text. A style sheet's colours hold in every state, so the disabled look (a transfer or a
// reset under way) is given here too: darker, with grey text.
inline QString FieldStyle(const char* kind, const char* more = "") {
    return QStringLiteral("%1 { background: rgb(192,192,192); color: black; %2 }"
                          "%1:disabled { background: rgb(150,150,150); color: rgb(90,90,90); }")
        .arg(QLatin1String(kind), QLatin1String(more));
}

} // namespace zx
