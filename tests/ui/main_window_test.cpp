#include <gtest/gtest.h>

#include "ui/main_window.h"

TEST(MainWindow, isFixedSizeWithCaptionAndBackground) {
    zx::MainWindow w;
    EXPECT_EQ(w.size(), QSize(985, 640));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("ZEPHRANOX PC Software - KAVREL / MOSSEK - Version V1.3"));
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 600), QColor(51, 51, 51));
}
