#include "app/application.h"

#include "app/marker_hint.h"
#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "platform/network_address.h"
#include "response/graph_drag.h"
#include "ui/channel_page.h"
#include "ui/channel_strips.h"
#include "ui/graph_view.h"
#include "ui/number_field.h"
#include "ui/preset_area.h"
#include "ui/screen_refresh.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>

namespace zx {
namespace {

// The main window opens on the primary screen; its pictures are drawn at that screen's
// resolution.
qreal PrimaryScreenPixelRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

} // namespace

Application::Application(WindowPlatform p, QSettings* settings)
    : remembered(settings), dialogs(p.dialogs, remembered),
      platform(WindowPlatform{p.timers, p.clock, p.serial, p.ports, dialogs, p.work}),
      graph(PrimaryScreenPixelRatio()), routing(PrimaryScreenPixelRatio()),
      link(Platform{p.timers, p.clock, p.serial, p.ports, dialogs}, model, window, window),
      nameDialog(&window), actions(model, graph, routing, link.sendSlots),
      editor(actions, p.timers, dialogs),
      measurements(model, graph, actions, editor, dialogs, remembered, platform.work) {

    QObject::connect(&window, &MainWindow::connectClicked,
                     [this] { link.connection.OnConnectButton(); });
    QObject::connect(&window, &MainWindow::networkPortRequested, [this] { AskNetworkPort(); });

    window.showPictures(graph.image(), routing.image());
    QObject::connect(&graph, &Graph::imageChanged, window.graphView(), &GraphView::refresh);
    QObject::connect(&routing, &RoutingPicture::imageChanged, window.routingView(),
                     &GraphView::refresh);
    QObject::connect(&window, &MainWindow::crossoverChannelReset, &graph,
                     [this] { graph.setCurrentCrossoverChannel(0); });
    QObject::connect(&window, &MainWindow::curveShownChanged, &graph,
                     [this](int ch, bool shown) { graph.ShowSwitchClicked(model, ch, shown); });
    // Every block applied, from the device or a file, sets every display from the model.
    // After it the device's settings are the truth: the edits before it cannot be undone.
    link.applier.setImageAppliedHandler([this] {
        RefreshScreen(model, graph, routing, window, editor);
        actions.history().clear();
    });

    WirePresets();
    wireStrips();
    wireEditor();
    wireDragging();
    wireHistory();
    wireMarkerHints();
    wireMeasurements();
    wirePortMemory();
}

void Application::WirePresets() {

    PresetArea* area = window.presetArea();
    QObject::connect(area, &PresetArea::deviceStoreClicked,
                     [this] { link.devicePresets.OnStoreButton(); });
    QObject::connect(area, &PresetArea::deviceLoadClicked,
                     [this] { link.devicePresets.OnLoadButton(); });
    QObject::connect(area, &PresetArea::pcStoreClicked,
                     [this] { link.presetFiles.OnStoreButton(); });
    QObject::connect(area, &PresetArea::pcLoadClicked, [this] { link.presetFiles.OnLoadButton(); });
    QObject::connect(&window, &MainWindow::presetNameRequested,
                     [this] { platform.dialogs.execModal(nameDialog); });
    nameDialog.setAcceptHandler(
        [this](const QString& typed) { link.devicePresets.OnNameAccepted(typed); });
}

void Application::wireStrips() {
    ChannelStrips* strips = window.strips();
    QObject::connect(strips, &ChannelStrips::muteClicked, &window, [this, strips](ChannelId ch) {
        actions.ToggleMute(ch);
        strips->showModel(model);
    });
    QObject::connect(strips, &ChannelStrips::polClicked, &window, [this, strips](ChannelId ch) {
        actions.TogglePolarity(ch);
        strips->showModel(model);
    });
    QObject::connect(strips, &ChannelStrips::pageRequested, &editor, &EditorWindow::showPage);
    QObject::connect(strips, &ChannelStrips::channelRequested, &editor, &EditorWindow::showChannel);
}

void Application::wireEditor() {
    editor.setAttribute(Qt::WA_QuitOnClose, false);
    editor.setMainWindow(&window);
    QObject::connect(&window, &MainWindow::editorHideRequested, &editor, &QWidget::hide);
    QObject::connect(&editor, &EditorWindow::shown, &window, [this] {
        window.setLegendChecksEnabled(false);
        graph.EditorShown();
    });
    QObject::connect(&editor, &EditorWindow::hidden, &window, [this] {
        actions.DragRelease();
        window.setLegendChecksEnabled(true);
        window.setGraphTitle(QStringLiteral("show all"));
        graph.EditorHidden(model);
    });
    QObject::connect(&editor, &EditorWindow::titleRequested, &window, &MainWindow::setGraphTitle);
    QObject::connect(&editor, &EditorWindow::bandViewRequested, &graph,
                     [this](EqBandId band) { graph.RefreshBand(model, band); });
    QObject::connect(&editor, &EditorWindow::overviewRequested, &graph,
                     [this] { graph.RedrawOverview(model); });
    QObject::connect(&editor, &EditorWindow::mainPanelsEnabled, &window,
                     &MainWindow::setMainPanelsEnabled);
}

void Application::wireDragging() {
    GraphView* view = window.graphView();
    QObject::connect(view, &GraphView::pressed, &editor, [this](QPoint at, Qt::MouseButton) {
        if (editor.isVisible()) actions.DragPress(editor.currentChannel(), at.x(), at.y());
    });
    QObject::connect(view, &GraphView::moved, &editor, [this](QPoint at) {
        const auto band = actions.DragMove(at.x(), at.y());
        if (!band || !editor.currentChannel()) return;
        const EqBandParams& b = model.bands[static_cast<std::size_t>(*band)];
        editor.showDragValues(*band, FrequencyAt(b.freqIndex), EqGainAt(ActiveGainIndex(b)));
    });
    QObject::connect(view, &GraphView::released, &editor,
                     [this](QPoint, Qt::MouseButton) { actions.DragRelease(); });
}

bool Application::editsAllowed() const {
    return window.signalFlowPanel()->isEnabled() && window.graphPanel()->isEnabled() &&
           editor.pages()->isEnabled() && !actions.dragging();
}

void Application::wireHistory() {
    // Like any edit, undoing waits while the windows are disabled (connecting, a preset or
    // file operation, a reset under way), so it cannot slip frames into those exchanges.
    const auto allowed = [this] { return editsAllowed(); };
    auto* undo = new QAction(QStringLiteral("Undo"), &window);
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QObject::connect(undo, &QAction::triggered, &window, [this, allowed] {
        if (allowed()) actions.history().undo();
    });
    auto* redo = new QAction(QStringLiteral("Redo"), &window);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QObject::connect(redo, &QAction::triggered, &window, [this, allowed] {
        if (allowed()) actions.history().redo();
    });
    // Also in the fit dialog, which stays open to compare before and after by ear.
    for (QAction* a : {undo, redo}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
        editor.addAction(a);
        measurements.fitDialog().addAction(a);
    }
    actions.setReplayedHandler([this] {
        ShowModelValues(model, window, editor);
        // A band's own redraw shows its channel alone; the graph goes back to what the
        // windows show: the overview without the editor, the page's channel with it.
        if (!editor.isVisible()) {
            graph.RedrawOverview(model);
        } else if (const auto ch = editor.currentChannel();
                   ch && ChannelOfBand(graph.currentBand()) != *ch) {
            graph.RefreshBand(model, BandId(*ch, 0));
        }
        // A field still being edited takes its restored text as the one it was entered with,
        // so leaving it does not store the text again as a new edit.
        auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (typing && qobject_cast<NumberField*>(typing->parentWidget()))
            editor.fieldMemory().previousText = typing->text();
    });
}

void Application::wireMarkerHints() {
    GraphView* view = window.graphView();
    const auto pageChannel = [this]() -> std::optional<ChannelId> {
        if (!editor.isVisible()) return std::nullopt;
        return editor.currentChannel();
    };
    view->hintAt = [this, pageChannel](QPoint at) {
        const auto ch = pageChannel();
        if (!ch) return QString();
        const auto band = HitBand(graph.markers(), *ch, at.x(), at.y());
        return band ? MarkerHint(model, *band) : measurements.hint(*ch);
    };
    QObject::connect(
        view, &GraphView::wheeled, &editor, [this, pageChannel](QPoint at, int notches) {
            const auto band = actions.WheelQ(pageChannel(), at.x(), at.y(), notches);
            if (!band) return;
            editor.channelPage(ChannelOfBand(*band))
                ->bandField(*band % kBandsPerChannel, ChannelPage::Q)
                ->setText(
                    FieldText(FieldTable::Q, model.bands[static_cast<std::size_t>(*band)].qIndex));
        });
}

void Application::wireMeasurements() {
    measurements.setEditsAllowed([this] { return editsAllowed(); });
    measurements.fitDialog().linkDown = [this] { return !link.transport.LinkUp; };
    GraphView* view = window.graphView();
    // A right press that hits no marker opens the menu; on a marker it drags, as any button
    // does. Connected after the drag's own handler, so the press has been tried first.
    QObject::connect(view, &GraphView::pressed, &editor,
                     [this, view](QPoint at, Qt::MouseButton b) {
                         if (b == Qt::RightButton && !actions.dragging())
                             measurements.showMenu(view->mapToGlobal(at));
                     });
    // A file read in the background: the pointer says so over the graph, which stays usable.
    QObject::connect(&measurements, &MeasurementActions::readingChanged, view, [this, view] {
        bool any = false;
        for (ChannelId ch = 0; ch < kChannelCount; ++ch) any = any || measurements.reading(ch);
        if (any) {
            view->setCursor(Qt::BusyCursor);
        } else {
            view->unsetCursor();
        }
    });
}

void Application::wirePortMemory() {
    // Only a port whose device has answered the whole handshake is worth choosing next time.
    ReplyHooks& hooks = link.dispatcher.hooks();
    hooks.namesReceived = [this, names = hooks.namesReceived](const PresetNames& n) {
        if (names) names(n);
        const QString port = window.portEntries().value(window.selectedPortIndex());
        if (!port.isEmpty()) remembered.setLastPort(port);
    };
}

void Application::AskNetworkPort() {
    QInputDialog dialog(&window);
    dialog.setWindowTitle(QStringLiteral("Network port"));
    dialog.setLabelText(QStringLiteral("Address (tcp://HOST:PORT or rfc2217://HOST:PORT):"));
    dialog.setTextValue(QStringLiteral("tcp://"));
    if (platform.dialogs.execModal(dialog) != QDialog::Accepted) return;
    const QString entry = platform.ports.add(dialog.textValue());
    if (entry.isEmpty()) {
        platform.dialogs.message(QStringLiteral("Not a network port."));
        return;
    }
    link.connection.RefreshPortList();
    window.selectPortEntry(entry);
}

bool Application::SelectStartPort(const QString& port) {
    QString entry = port.trimmed();
    if (LooksLikeNetworkAddress(entry)) {
        entry = platform.ports.add(entry);
        if (entry.isEmpty()) return false;
        link.connection.RefreshPortList();
    } else if (!window.selectPortEntry(entry) && entry.startsWith(QLatin1String("/dev/"))) {
        // A device the machine lists by its name alone.
        entry.remove(0, 5);
    }
    return window.selectPortEntry(entry);
}

void Application::Start() {
    model.ResetToDefaults();
    routing.Draw(model);
    link.connection.Startup();
    // The port used last time, when it is there again.
    if (const QString last = remembered.lastPort(); !last.isEmpty()) window.selectPortEntry(last);
    window.show();
    measurements.reloadRemembered();
}

} // namespace zx
