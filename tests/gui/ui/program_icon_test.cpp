#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

#include "ui/program_icon.h"

namespace {

// The drawn icon is the SVG's picture: where both can be drawn, they differ only in the
// antialiasing of edges. A changed SVG without the drawing (or the reverse) fails here.
TEST(ProgramIcon, theDrawnIconIsTheSvgsPicture) {
    if (!QImageReader::supportedImageFormats().contains("svg"))
        GTEST_SKIP() << "no SVG reader to compare with";
    for (int size : {32, 128}) {
        const QImage svg = QIcon(QStringLiteral(":/icons/zephranox.svg"))
                               .pixmap(size, size)
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32);
        const QImage drawn =
            zx::DrawnProgramIcon(size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(svg.size(), drawn.size());
        long total = 0;
        int far = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb a = svg.pixel(x, y), b = drawn.pixel(x, y);
                const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
                total += d;
                far += d > 200 ? 1 : 0;
            }
        EXPECT_LT(double(total) / (size * size), 3.0) << size;
        EXPECT_LT(far, size * size / 500 + 1) << size;
    }
}

// Whatever draws it, the icon comes in the sizes a desktop asks for, transparent outside the
// rounded panel and with the red curve and the green marker where the picture has them.
TEST(ProgramIcon, comesInEverySizeWithItsPanelAndMarkers) {
    const QIcon icon = zx::ProgramIcon();
    for (int size : {16, 32, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size * 13 / 128).alpha(), 255) << size;
    }
    const QImage big = icon.pixmap(256, 256).toImage();
    EXPECT_EQ(big.pixelColor(88 * 2, 38 * 2).rgb(), QColor(0x4c, 0xf1, 0x14).rgb());
    const QColor curve = big.pixelColor(20 * 2 + 2, 92 * 2);
    EXPECT_GT(curve.red(), 200);
    EXPECT_LT(curve.green(), 60);
}

// The Windows icon file holds the icon in each size, in order, as Qt's own reader reads it
// back; the file the Windows program is built with is the icon of today (make pictures).
TEST(ProgramIcon, theWindowsIconFileHoldsEverySize) {
    const QList<int> sizes = {16, 32, 256};
    QByteArray bytes = zx::ProgramIconFile(sizes);
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "no ICO reader (the Windows build ships none)";
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ico");
    ASSERT_TRUE(reader.canRead());
    ASSERT_EQ(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(sizes[i], sizes[i]));
        EXPECT_EQ(
            image.convertToFormat(QImage::Format_ARGB32),
            zx::ProgramIcon().pixmap(sizes[i]).toImage().convertToFormat(QImage::Format_ARGB32));
    }

    QFile committed(QStringLiteral(ZX_SOURCE_DIR "/packaging/windows/zephranox.ico"));
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
    QImageReader file(&committed, "ico");
    ASSERT_EQ(file.imageCount(), 6);
    ASSERT_TRUE(file.jumpToImage(2));
    EXPECT_EQ(file.read().convertToFormat(QImage::Format_ARGB32),
              zx::ProgramIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32))
        << "run make pictures";
}

} // namespace
