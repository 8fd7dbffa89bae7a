#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
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

// The closed selector keeps its place and size; a device path shows by its name, a network
// address whole in the open list, and every entry's tooltip is the whole entry.
TEST(MainWindow, portSelectorShowsShortNamesWithTheWholeEntryAsTooltip) {
    zx::MainWindow w;
    const QStringList entries = {"tcp://127.0.0.1:4001", "tcp://127.0.0.1:4002",
                                 "/home/technician/amp/ttyV0", "ttyUSB0"};
    w.setPortEntries(entries);
    QComboBox* box = w.portSelector();
    EXPECT_EQ(box->geometry(), QRect(80, 13, 73, 22));
    const char* shown[] = {"tcp://127.0.0.1:4001", "tcp://127.0.0.1:4002", "ttyV0", "ttyUSB0"};
    for (int i = 0; i < int(entries.size()); ++i) {
        EXPECT_EQ(box->itemText(i), QString::fromLatin1(shown[i]));
        EXPECT_EQ(box->itemData(i, Qt::ToolTipRole).toString(), entries[i]);
    }
    EXPECT_EQ(w.portEntries(), entries);
    EXPECT_GT(box->view()->minimumWidth(),
              QFontMetrics(box->view()->font()).horizontalAdvance(entries[0]));
    ASSERT_TRUE(w.selectPortEntry(entries[2]));
    EXPECT_EQ(box->currentText(), "ttyV0");
    EXPECT_EQ(box->toolTip(), entries[2]);
}
