#pragma once

#include "model/parameter_model.h"

#include <QImage>
#include <QObject>
#include <QPoint>

namespace zx {

inline constexpr int kRoutingPictureWidth = 137;
inline constexpr int kRoutingPictureHeight = 121;
inline constexpr QPoint kRoutingInputA{20, 24};
inline constexpr QPoint kRoutingInputB{20, 104};
// Where the lines of Out left, Out right and Out sub start.
QPoint RoutingOutputPoint(ChannelId ch);

// The dark texture behind the routing lines, at the screen's device pixel ratio.
QImage RoutingBackground(qreal devicePixelRatio = 1.0);

// The background, then for each visible output a line in its channel colour from its point
// to input A, to input B, to both or to neither, by its route.
void DrawRoutingPicture(QImage& picture, const QImage& background, const ParameterModel& m);

// The small routing picture of the main window, retained like the graph and, like it, made
// for a screen of the given device pixel ratio.
class RoutingPicture : public QObject {
    Q_OBJECT
  public:
    explicit RoutingPicture(qreal devicePixelRatio = 1.0, QObject* parent = nullptr);

    const QImage& image() const { return image_; }
    void Draw(const ParameterModel& m);

  signals:
    void imageChanged();

  private:
    QImage background_;
    QImage image_;
};

} // namespace zx
