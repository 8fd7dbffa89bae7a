#pragma once

#include "app_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <vector>

#include "ui/channel_page.h"
#include "ui/channel_strips.h"
#include "ui/graph_view.h"
#include "ui/number_field.h"

namespace zx {

// The program with helpers that drive the editor and the graph like a user.
class EditingTest : public AppTest {
  protected:
    ChannelPage* page(ChannelId ch) const { return app.editor.channelPage(ch); }
    NumberField* field(EqBandId band, ChannelPage::Column column) const {
        return page(ChannelOfBand(band))->bandField(band % kBandsPerChannel, column);
    }
    void openChannel(ChannelId ch) {
        app.editor.showChannel(ch);
        QApplication::setActiveWindow(&app.editor);
    }
    // Enters the field, replaces its text by typing, then presses Enter or leaves it.
    void type(NumberField* f, const QString& keys, bool enter) {
        f->edit()->setFocus();
        f->edit()->selectAll();
        QTest::keyClick(f->edit(), Qt::Key_Backspace);
        QTest::keyClicks(f->edit(), keys);
        if (enter) {
            QTest::keyClick(f->edit(), Qt::Key_Return);
        } else {
            f->edit()->clearFocus();
        }
    }
    void spin(NumberField* f, int delta, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(delta > 0 ? f->upButton() : f->downButton(), Qt::LeftButton);
    }
    // Presses on the graph, moves through the points and releases; afterPress runs between
    // the press and the first move.
    void drag(QPoint from, const std::vector<QPoint>& through,
              const std::function<void()>& afterPress = {}) {
        GraphView* v = app.window.graphView();
        QTest::mousePress(v, Qt::LeftButton, {}, from);
        if (afterPress) afterPress();
        for (QPoint p : through) {
            QMouseEvent move(QEvent::MouseMove, p, v->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(v, &move);
        }
        QTest::mouseRelease(v, Qt::LeftButton, {}, through.empty() ? from : through.back());
    }
    // Waits until every queued frame has gone out and been acknowledged.
    void drain(int limitMs = 60000) {
        ASSERT_TRUE(tp.runUntil(
            [this] {
                return !app.link.sendSlots.AnyPending() && app.link.sendSlots.CurrentSlot() == 0 &&
                       tp.clock.isActive(TimerId::sendTimer);
            },
            limitMs));
        tp.advance(300); // the last acknowledgement
    }
    QPoint markerAt(EqBandId band) const {
        const BandMarker m = app.graph.marker(band);
        return {m.x, m.y};
    }
};

} // namespace zx
