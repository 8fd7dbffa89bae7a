#include "ui/main_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "ui/channel_strips.h"
#include "ui/graph_view.h"
#include "ui/preset_area.h"
#include "ui/program_icon.h"
#include "ui/progress_box.h"
#include "ui/ui_style.h"

namespace zx {
namespace {

QWidget* panel(QWidget* parent, const QRect& geometry, const QColor& colour) {
    auto* w = new QWidget(parent);
    w->setGeometry(geometry);
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    return w;
}

QLabel* whiteLabel(const QString& text, QWidget* parent, QPoint at, int px = 13) {
    auto* l = new QLabel(text, parent);
    l->setFont(ArialPx(px));
    l->setStyleSheet(QStringLiteral("color: white;"));
    l->move(at);
    l->adjustSize();
    return l;
}

// The maker's picture at the right of the top bar; any equivalent drawing will do.
QPixmap brandPicture() {
    QPixmap pm(99, 32);
    pm.fill(kWindowGrey);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 98, 31), 4, 4);
    p.setPen(Qt::white);
    QFont f = ArialPx(14);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 99, 32), Qt::AlignCenter, QStringLiteral("ZEPHRANOX"));
    return pm;
}

struct LegendEntry {
    const char* caption;
    QColor swatch;
};
const std::array<LegendEntry, 6> kLegend = {{
    {"       In left    ", QColor(255, 255, 0)},
    {"     In right    ", QColor(0, 0, 255)},
    {"    Out left    ", QColor(46, 121, 255)},
    {"   Out right  ", QColor(0, 255, 255)},
    {"   Out sub     ", QColor(255, 0, 255)},
    {"         Out 4    ", QColor(255, 0, 0)},
}};

} // namespace

const QString MainWindow::kNetworkPortItem = QStringLiteral("Network port\u2026");

QString MainWindow::PortShownName(const QString& entry) {
    // A network address is told apart by its whole text; a device path by its last part.
    if (entry.contains(QLatin1String("://"))) return entry;
    return entry.mid(entry.lastIndexOf(QLatin1Char('/')) + 1);
}

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      topBar_(panel(this, QRect(0, 0, 977, 73), kWindowGrey)),
      graphPanel_(panel(this, QRect(8, 76, 961, 287), Qt::black)),
      signalFlowPanel_(panel(this, QRect(0, 370, 969, 319), kWindowGrey)),
      connectingBox_(new ProgressBox(
          QStringLiteral("Please wait,connecting  device..............                        "),
          this)),
      progressBox_(new ProgressBox(
          QStringLiteral("Please wait,sending and receving data.                        "), this)) {
    setWindowTitle(QStringLiteral("ZEPHRANOX PC Software - KAVREL / MOSSEK - Version V1.3"));
    // The installed icon, built in: a desktop without the desktop entry (or a build that is not
    // installed) shows it too.
    setWindowIcon(ProgramIcon());
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowGrey);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(ArialPx(13));
    setStyleSheet(QStringLiteral(
        "QPushButton { background: rgb(192,192,192); color: black; border: 1px solid "
        "rgb(128,128,128); border-radius: 2px; }"
        "QPushButton:hover { background: rgb(222,222,222); }"
        "QPushButton:pressed { background: rgb(170,170,170); }"
        "QPushButton:disabled { color: rgb(120,120,120); }"));

    buildTopBar();
    buildLegend();
    strips_ = new ChannelStrips(signalFlowPanel_);

    graphTitle_ = new QLabel(QStringLiteral("show all "), graphPanel_);
    graphTitle_->setGeometry(432, 2, 145, 20);
    graphTitle_->setFont(ArialPx(16));
    graphTitle_->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));

    presetArea_ = new PresetArea(signalFlowPanel_);

    connectingBox_->move(307, 317);
    progressBox_->move(307, 317);
    connectingBox_->raise();
    progressBox_->raise();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // Centred on the desktop, frame included, but never with the caption above its top edge.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(desk.center().x() - outer.width() / 2,
             std::max(desk.center().y() - outer.height() / 2, desk.top()));
    }
}

void MainWindow::buildTopBar() {
    statusLight_ = panel(topBar_, QRect(18, 16, 14, 14), kLinkDownRed);
    whiteLabel(QStringLiteral("COM\uFF1A"), topBar_, QPoint(37, 17));

    portSelector_ = new QComboBox(topBar_);
    portSelector_->setGeometry(80, 13, 73, 22);
    // The list opens as wide as its longest entry; the closed selector keeps its size.
    portSelector_->view()->setTextElideMode(Qt::ElideNone);
    connect(portSelector_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index + 1 < portSelector_->count())
            chosenPort_ = portSelector_->itemData(index).toString();
        // The closed selector is narrow: the whole entry shows as its tooltip.
        portSelector_->setToolTip(portSelector_->itemData(index, Qt::ToolTipRole).toString());
    });
    connect(portSelector_, &QComboBox::activated, this, &MainWindow::onPortActivated);
    portSelector_->addItem(kNetworkPortItem);
    portSelector_->setCurrentIndex(-1);

    connectButton_ = new QPushButton(QStringLiteral("Disconnect"), topBar_);
    connectButton_->setGeometry(158, 14, 91, 22);
    connectButton_->setFont(ArialPx(13));
    connect(connectButton_, &QPushButton::clicked, this, &MainWindow::connectClicked);

    auto* picture = new QLabel(topBar_);
    picture->setGeometry(860, 8, 99, 32);
    picture->setPixmap(brandPicture());
}

void MainWindow::buildLegend() {
    static constexpr std::array<int, 6> kX = {16, 168, 320, 472, 624, 776};
    for (int ch = 0; ch < 6; ++ch) {
        QWidget* box = panel(topBar_, QRect(kX[ch], 48, 102, 25), QColor(95, 95, 95));
        auto* caption = new QLabel(QString::fromLatin1(kLegend[ch].caption), box);
        caption->setFont(ArialPx(11));
        caption->setStyleSheet(QStringLiteral("color: white;"));
        caption->setGeometry(0, 0, 64, 25);
        panel(box, QRect(64, 6, 15, 12), kLegend[ch].swatch);
        auto* check = new QCheckBox(box);
        check->setGeometry(84, 4, 16, 16);
        check->setChecked(ch != 5);
        connect(check, &QCheckBox::toggled, this,
                [this, ch](bool on) { emit curveShownChanged(ch, on); });
        legendChecks_[ch] = check;
        if (ch == 5) box->hide();
    }
}

void MainWindow::setGraphTitle(const QString& title) {
    graphTitle_->setText(title);
}

void MainWindow::setLegendChecksEnabled(bool enabled) {
    for (QCheckBox* check : legendChecks_) check->setEnabled(enabled);
}

void MainWindow::showPictures(const QImage& graph, const QImage& routing) {
    // Each view takes its picture's size.
    graphView_ = new GraphView(&graph, graphPanel_);
    graphView_->move(10, 24);
    routingView_ = new GraphView(&routing, signalFlowPanel_);
    routingView_->move(369, 8);
    // A picture lies beneath the strip buttons that reach over its edges.
    routingView_->lower();
}

QStringList MainWindow::portEntries() const {
    QStringList entries;
    // The last item asks for a network port.
    for (int i = 0; i + 1 < portSelector_->count(); ++i)
        entries << portSelector_->itemData(i).toString();
    return entries;
}

bool MainWindow::selectPortEntry(const QString& entry) {
    const qsizetype i = portEntries().indexOf(entry);
    if (i < 0) return false;
    portSelector_->setCurrentIndex(int(i));
    return true;
}

void MainWindow::onPortActivated(int index) {
    if (index != portSelector_->count() - 1) return;
    const QString before = chosenPort_;
    emit networkPortRequested();
    // Cancelled or refused: the port chosen before is chosen again.
    if (portSelector_->currentIndex() == portSelector_->count() - 1 && !selectPortEntry(before))
        portSelector_->setCurrentIndex(-1);
}

void MainWindow::setPortEntries(const QStringList& entries) {
    // The port chosen stays chosen while it is listed, so that a port plugged in or gone
    // elsewhere cannot send the next Connect to another amplifier. The last entry is taken
    // at start-up and when the chosen port is gone.
    const int current = portSelector_->currentIndex();
    const QString chosen = current >= 0 && current + 1 < portSelector_->count()
                               ? portSelector_->currentData().toString()
                               : QString();
    portSelector_->clear();
    for (const QString& entry : entries) {
        portSelector_->addItem(PortShownName(entry), entry);
        portSelector_->setItemData(portSelector_->count() - 1, entry, Qt::ToolTipRole);
    }
    portSelector_->addItem(kNetworkPortItem);
    const qsizetype kept = chosen.isEmpty() ? -1 : entries.indexOf(chosen);
    portSelector_->setCurrentIndex(static_cast<int>(kept >= 0 ? kept : entries.size() - 1));
    chosenPort_ =
        portSelector_->currentIndex() >= 0 ? portSelector_->currentData().toString() : QString();
    portSelector_->setToolTip(portSelector_->currentData(Qt::ToolTipRole).toString());
    const QFontMetrics metrics(portSelector_->view()->font());
    int widest = 0;
    for (int i = 0; i < portSelector_->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(portSelector_->itemText(i)));
    portSelector_->view()->setMinimumWidth(widest + 24);
}

int MainWindow::selectedPortIndex() const {
    const int i = portSelector_->currentIndex();
    return i + 1 < portSelector_->count() ? i : -1;
}
void MainWindow::setPortSelectorEnabled(bool enabled) {
    portSelector_->setEnabled(enabled);
}
void MainWindow::setConnectCaption(const QString& caption) {
    connectButton_->setText(caption);
}

void MainWindow::setLinkIndicator(bool linkUp) {
    // Asked ten times a second; only a change of colour repaints the light.
    const QColor colour = linkUp ? kLinkUpGreen : kLinkDownRed;
    if (statusLight_->palette().color(QPalette::Window) == colour) return;
    QPalette pal = statusLight_->palette();
    pal.setColor(QPalette::Window, colour);
    statusLight_->setPalette(pal);
}

void MainWindow::showConnectingBox(bool shown) {
    connectingBox_->setVisible(shown);
}
void MainWindow::setConnectingPercent(int percent) {
    connectingBox_->setPercent(percent);
}

void MainWindow::setMainPanelsEnabled(bool enabled) {
    topBar_->setEnabled(enabled);
    graphPanel_->setEnabled(enabled);
    signalFlowPanel_->setEnabled(enabled);
}

void MainWindow::hideEditor() {
    emit editorHideRequested();
}
void MainWindow::resetCrossoverChannel() {
    emit crossoverChannelReset();
}

// The preset and file operations' view.
void MainWindow::showProgressBox(bool shown) {
    progressBox_->setVisible(shown);
}
void MainWindow::setProgressPercent(int percent) {
    progressBox_->setPercent(percent);
}
void MainWindow::setTopBarEnabled(bool enabled) {
    topBar_->setEnabled(enabled);
}
void MainWindow::setGraphPanelEnabled(bool enabled) {
    graphPanel_->setEnabled(enabled);
}
void MainWindow::setSignalFlowPanelEnabled(bool enabled) {
    signalFlowPanel_->setEnabled(enabled);
}
void MainWindow::setActivePresetName(const QString& name) {
    presetArea_->setActivePresetName(name);
}
void MainWindow::askPresetName() {
    emit presetNameRequested();
}

} // namespace zx
