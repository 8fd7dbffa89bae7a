#pragma once

#include <QWidget>

namespace zx {

// The main window: fixed 985 x 640, dark grey background.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    static constexpr int kWidth = 985;
    static constexpr int kHeight = 640;
};

} // namespace zx
