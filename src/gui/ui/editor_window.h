#pragma once

#include <QWidget>

#include <array>
#include <optional>

#include "model/parameter_model.h"
#include "ui/channel_strips.h"
#include "ui/number_field.h"

class QTabWidget;

namespace zx {

class ChannelPage;
class Dialogs;
class EditActions;
class LevelPage;
class LimitersPage;
class MixerPage;
class ProgressBox;
class TimerHub;

// The editor window: every setting of the amplifier on one page control, never destroyed,
// hidden by its close button. It holds no settings of its own: each control edits the model
// through EditActions at once.
class EditorWindow : public QWidget {
    Q_OBJECT
  public:
    EditorWindow(EditActions& actions, TimerHub& timers, Dialogs& dialogs,
                 QWidget* parent = nullptr);

    static constexpr int kWidth = 699; // the client area of the 715 × 364 window
    static constexpr int kHeight = 325;
    static constexpr int kFirstChannelPage = 4;

    QTabWidget* pages() const { return pages_; }
    MixerPage* mixerPage() const { return mixer_; }
    LevelPage* gainPage() const { return gain_; }
    LevelPage* delayPage() const { return delay_; }
    LimitersPage* limitersPage() const { return limiters_; }
    ChannelPage* channelPage(ChannelId ch) const { return channels_[static_cast<std::size_t>(ch)]; }
    ProgressBox* progressBox() const { return progress_; }
    FieldMemory& fieldMemory() { return memory_; }

    // The channel of the page shown, or nullopt on the other pages.
    std::optional<ChannelId> currentChannel() const;

    // Strip buttons: show the window on a page.
    void showPage(EditorPage page);
    void showChannel(ChannelId ch);

    // The window opens on the screen that shows this one, at its own point where it fits
    // there, otherwise moved to lie wholly on that screen.
    void setMainWindow(const QWidget* mainWindow) { mainWindow_ = mainWindow; }

    // Every page shows the model, without editing it.
    void showModel(const ParameterModel& model);

    // The band's frequency and gain fields while its marker is dragged.
    void showDragValues(EqBandId band, double frequency, double gain);

  signals:
    void shown();
    void hidden();
    void titleRequested(const QString& title);
    // A channel page came up: the single-channel view of the band.
    void bandViewRequested(EqBandId band);
    // The "Gain" page came up: every channel.
    void overviewRequested();
    // The main window's panels during a reset.
    void mainPanelsEnabled(bool enabled);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void pageChanged(int index);
    void resetChannel(ChannelId ch);
    void onTimer5();
    void placeOnScreen();

    EditActions& actions_;
    TimerHub& timers_;
    Dialogs& dialogs_;
    FieldMemory memory_;
    QTabWidget* pages_;
    MixerPage* mixer_;
    LevelPage* gain_;
    LevelPage* delay_;
    LimitersPage* limiters_;
    std::array<ChannelPage*, kChannelCount> channels_{};
    ProgressBox* progress_;
    int resetTicks_ = 0;
    int shownPage_ = 0;
    const QWidget* mainWindow_ = nullptr;
    bool placed_ = false;
};

} // namespace zx
