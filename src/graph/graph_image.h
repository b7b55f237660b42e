#pragma once
// Image1, the EQ graph canvas: a black picture with the logarithmic
// frequency grid and the decibel grid (kept as a cached background), over
// which each drawing of the graph puts the response curve. Pictures are
// kept at the screen's device pixel ratio so grid and curve stay sharp on
// high-density screens. Mouse moves and releases on the canvas are handed
// on to the graph controller. The canvas takes the keyboard focus (Tab or
// a click) for the graph's keys; while it has it, a frame runs round the
// graph and a ring round the point the keys work on.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <vector>

#include "eq/band_slots.h"
#include "eq/graph_geometry.h"

namespace dsp {

class GraphImage : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { Create, Resize, Restore };

  explicit GraphImage(QWidget* parent = nullptr);

  // Create and Resize build the grid picture for the current size; Restore
  // puts the saved grid back as the picture (and rebuilds it first when the
  // size or the pixel ratio changed since).
  void BuildGraphBackground(Mode mode);
  // Draws the curve through `points` over the picture.
  void DrawCurve(const std::vector<CurvePoint>& points, const QColor& colour);
  // The rectangle of the point the keys work on, in this widget's
  // coordinates; empty for none.
  void SetFocusMark(const QRect& mark);
  const QRect& FocusMark() const { return focusMark_; }

  GraphGeometry Geometry() const { return GraphGeometry(width(), height()); }
  double GridScale() const { return gridScale_; }
  const QImage& Background() const { return background_; }
  const QImage& Picture() const { return picture_; }

  // The drawing itself, for any off-screen image: the grid picture of a
  // geometry at a pixel ratio, and a curve painted onto an image.
  static QImage PaintBackground(const GraphGeometry& geometry, qreal ratio);
  static void PaintCurve(QImage& image, const std::vector<CurvePoint>& points, const QColor& colour);

 signals:
  // The background was built or rebuilt for a new size.
  void rebuilt();
  // The window moved to a screen of another pixel ratio: the graph wants
  // drawing again at the new density.
  void ratioChanged();
  void mouseMoved(Qt::MouseButtons buttons, QPoint pos);
  void mouseReleased(Qt::MouseButton button, QPoint pos);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  qreal Ratio() const;
  bool Stale() const;

  double gridScale_ = 1.0;
  QImage background_;
  QImage picture_;
  QRect focusMark_;
};

}  // namespace dsp
