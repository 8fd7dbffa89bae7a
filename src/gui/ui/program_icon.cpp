#include "ui/program_icon.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace zx {

QPixmap DrawnProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The SVG's 128 × 128 units.
    p.scale(size / 128.0, size / 128.0);
    p.setPen(QPen(QColor(0x5f, 0x5f, 0x5f), 4));
    p.setBrush(QColor(0x1a, 0x1a, 0x1c));
    p.drawRoundedRect(QRectF(6, 6, 116, 116), 18, 18);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
    for (int at : {40, 64, 88}) {
        p.drawLine(QLineF(22, at, 106, at));
        p.drawLine(QLineF(at, 24, at, 104));
    }
    QPainterPath curve(QPointF(20, 92));
    curve.cubicTo(34, 92, 36, 64, 44, 60);
    curve.cubicTo(52, 56, 54, 82, 64, 80);
    curve.cubicTo(76, 78, 78, 40, 88, 38);
    curve.cubicTo(96, 36, 100, 64, 108, 66);
    p.setPen(QPen(Qt::red, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(39, 55, 10, 10), QColor(0xc9, 0x61, 0x41));
    p.fillRect(QRectF(59, 75, 10, 10), QColor(0xcd, 0xcd, 0x41));
    p.fillRect(QRectF(83, 33, 10, 10), QColor(0x4c, 0xf1, 0x14));
    return pixmap;
}

QIcon ProgramIcon() {
    if (QImageReader::supportedImageFormats().contains("svg"))
        return QIcon(QStringLiteral(":/icons/zephranox.svg"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawnProgramIcon(size));
    return icon;
}

QByteArray ProgramIconFile(const QList<int>& sizes) {
    const QIcon icon = ProgramIcon();
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        icon.pixmap(size, size).toImage().save(&buffer, "PNG");
        images.append(png);
    }
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // The header (reserved, type 1: icon, count), a directory entry for each image, then the
    // images; 256 is written as 0 in the entry's width and height bytes.
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const auto side = quint8(sizes[i] >= 256 ? 0 : sizes[i]);
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(images[i].size()) << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray& png : images) out.writeRawData(png.constData(), int(png.size()));
    return file;
}

} // namespace zx
