#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

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

TEST(MainWindow, opensCentredOnTheDesktopWithItsCaptionOnScreen) {
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    zx::MainWindow w;
    w.show();
    const QRect frame = w.frameGeometry();
    EXPECT_NEAR(frame.center().x(), desk.center().x(), 1);
    // On a desktop lower than the window the caption stays reachable at the top.
    const int centredTop = desk.center().y() - frame.height() / 2;
    EXPECT_NEAR(frame.top(), std::max(centredTop, desk.top()), 1);
}

// The window carries the installed icon itself, drawn from its SVG (the SVG plugins come with
// libqt6svg6): transparent round its rounded corners, the dark panel in the middle.
TEST(MainWindow, showsTheProgramsIcon) {
    zx::MainWindow w;
    const QImage icon = w.windowIcon().pixmap(64, 64).toImage();
    ASSERT_FALSE(icon.isNull()) << "the icon was not drawn: are Qt's SVG plugins installed?";
    EXPECT_EQ(icon.pixelColor(1, 1).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(32, 20).alpha(), 255);
}
