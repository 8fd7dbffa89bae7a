#include "ui/editor_window.h"

#include <QHideEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>

#include "editing/edit_actions.h"
#include "model/channel_names.h"
#include "platform/dialogs.h"
#include "platform/message_texts.h"
#include "platform/timer_hub.h"
#include "response/graph_drag.h"
#include "ui/channel_page.h"
#include "ui/level_page.h"
#include "ui/limiters_page.h"
#include "ui/mixer_page.h"
#include "ui/progress_box.h"
#include "ui/ui_style.h"
#include "ui/window_placement.h"

namespace zx {
namespace {

constexpr int kResetTicks = 20; // 5 % each, 6 s in all

// The window's place on the screen and its size with the frame.
constexpr QPoint kScreenPoint(642, 448);
constexpr QSize kOuterSize(715, 364);

int PageIndex(EditorPage page) {
    switch (page) {
    case EditorPage::Mixer:
        return 0;
    case EditorPage::Gain:
        return 1;
    case EditorPage::Delay:
        return 2;
    case EditorPage::Limiters:
        break;
    }
    return 3;
}

} // namespace

EditorWindow::EditorWindow(EditActions& actions, TimerHub& timers, Dialogs& dialogs,
                           QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      actions_(actions), timers_(timers), dialogs_(dialogs), pages_(new QTabWidget(this)),
      mixer_(new MixerPage(actions)), gain_(new LevelPage(LevelPage::Kind::Gain, actions)),
      delay_(new LevelPage(LevelPage::Kind::Delay, actions)), limiters_(new LimitersPage(actions)),
      progress_(new ProgressBox(
          QStringLiteral("Please wait,sending and receving data.                        "), this)) {
    setWindowTitle(QStringLiteral("ZEPHRANOX PC Software"));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowGrey);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(ArialPx(13));

    pages_->setGeometry(7, 8, 682, 313);
    pages_->setFont(ArialPx(13));
    pages_->setStyleSheet(QStringLiteral(
        "QTabWidget::pane { background: rgb(80,80,80); border: 1px solid rgb(120,120,120); }"
        "QTabWidget > QWidget > QWidget { background: rgb(80,80,80); }"
        "QTabBar::tab { background: rgb(192,192,192); color: black; padding: 3px 6px; }"
        "QTabBar::tab:selected { background: rgb(80,80,80); color: white; }"
        "QTabBar::tab:disabled { color: rgb(120,120,120); }"
        "QTabBar::tab:selected:disabled { color: rgb(150,150,150); }"));
    pages_->addTab(mixer_, QStringLiteral("Mixer"));
    pages_->addTab(gain_, QStringLiteral("Gain"));
    pages_->addTab(delay_, QStringLiteral(" Delay "));
    pages_->addTab(limiters_, QStringLiteral("Limiters"));
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        auto* page = new ChannelPage(ch, actions, memory_);
        channels_[static_cast<std::size_t>(ch)] = page;
        pages_->addTab(page, ChannelTitle(ch));
        connect(page, &ChannelPage::resetClicked, this, &EditorWindow::resetChannel);
    }
    // Out 4's tab is hidden, and disabled too: Qt's page keys (Ctrl+Tab, the arrows on the
    // tabs) skip disabled tabs but not hidden ones.
    pages_->setTabVisible(kFirstChannelPage + 5, false);
    pages_->setTabEnabled(kFirstChannelPage + 5, false);
    pages_->setCurrentIndex(kFirstChannelPage + 4); // "Out sub"
    shownPage_ = pages_->currentIndex();
    connect(pages_, &QTabWidget::currentChanged, this, &EditorWindow::pageChanged);

    progress_->setCompactSize(QSize(305, 65));
    progress_->move(kWidth + 20, kHeight + 20); // out of sight until a reset brings it in

    timers_.setHandler(TimerId::Timer5, [this] { onTimer5(); });
}

std::optional<ChannelId> EditorWindow::currentChannel() const {
    const int index = pages_->currentIndex();
    if (index < kFirstChannelPage) return std::nullopt;
    return index - kFirstChannelPage;
}

void EditorWindow::showPage(EditorPage page) {
    show();
    raise();
    const int index = PageIndex(page);
    if (pages_->currentIndex() == index) {
        pageChanged(index);
    } else {
        pages_->setCurrentIndex(index);
    }
}

void EditorWindow::showChannel(ChannelId ch) {
    show();
    raise();
    const int index = kFirstChannelPage + ch;
    if (pages_->currentIndex() == index) {
        pageChanged(index);
    } else {
        pages_->setCurrentIndex(index);
    }
}

void EditorWindow::showModel(const ParameterModel& model) {
    mixer_->showModel(model);
    gain_->showModel(model);
    delay_->showModel(model);
    limiters_->showModel(model);
    for (ChannelPage* page : channels_) page->showModel(model);
}

void EditorWindow::showDragValues(EqBandId band, double frequency, double gain) {
    ChannelPage* page = channelPage(ChannelOfBand(band));
    const int row = band % kBandsPerChannel;
    page->bandField(row, ChannelPage::Frequency)->setText(ShortestNumberText(frequency));
    page->bandField(row, ChannelPage::Gain)->setText(ShortestNumberText(gain));
}

void EditorWindow::pageChanged(int index) {
    if (index >= 0 && !pages_->isTabVisible(index)) {
        // Whatever brought up a hidden page (a screen reader offers every tab), the page
        // shown before stays.
        pages_->setCurrentIndex(shownPage_);
        return;
    }
    shownPage_ = index;
    if (index >= kFirstChannelPage) {
        const ChannelId ch = index - kFirstChannelPage;
        emit titleRequested(ChannelTitle(ch));
        emit bandViewRequested(BandId(ch, 0));
    } else if (index == PageIndex(EditorPage::Gain)) {
        emit titleRequested(QStringLiteral("show all"));
        emit overviewRequested();
    }
}

void EditorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    if (!placed_) {
        placed_ = true;
        placeOnScreen();
    }
    emit shown();
}

void EditorWindow::placeOnScreen() {
    const QScreen* screen = (mainWindow_ ? mainWindow_ : this)->screen();
    if (!screen) return;
    // Before the first showing the frame may not be known yet; the window's outer size is.
    QSize outer = frameGeometry().size();
    if (outer == size()) outer = kOuterSize;
    move(PlaceWindow(kScreenPoint, outer, screen->availableGeometry()));
}

void EditorWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) emit hidden();
}

void EditorWindow::resetChannel(ChannelId ch) {
    if (!dialogs_.askYesNo(texts::kResetCaption, texts::kResetQuestion)) return;
    progress_->move(157, 128);
    progress_->setPercent(0);
    progress_->show();
    progress_->raise();
    resetTicks_ = 0;
    timers_.start(TimerId::Timer5);
    pages_->setEnabled(false);
    emit mainPanelsEnabled(false);
    actions_.ResetChannelEq(ch);
    channelPage(ch)->showResetValues();
}

void EditorWindow::onTimer5() {
    ++resetTicks_;
    progress_->setPercent(resetTicks_ * 5);
    if (resetTicks_ < kResetTicks) return;
    timers_.stop(TimerId::Timer5);
    progress_->hide();
    pages_->setEnabled(true);
    emit mainPanelsEnabled(true);
}

} // namespace zx
