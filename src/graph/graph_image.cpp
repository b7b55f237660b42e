#include "graph/graph_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "graph/graph_paint.h"
#include "panels/skin.h"

namespace dsp {

namespace {

constexpr int kRingGap = 4;  // pixels between a point's edge and its focus ring

}  // namespace

GraphImage::GraphImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  BuildGraphBackground(Mode::Create);
}

qreal GraphImage::Ratio() const {
  return devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
}

bool GraphImage::Stale() const {
  return background_.isNull() || background_.deviceIndependentSize().toSize() != size() ||
         background_.devicePixelRatio() != Ratio();
}

QImage GraphImage::PaintBackground(const GraphGeometry& geometry, qreal ratio) {
  const QSize logical(std::max(geometry.Width(), 1), std::max(geometry.Height(), 1));
  QImage image(logical * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  QPainter p(&image);
  PaintGrid(p, geometry);
  return image;
}

void GraphImage::PaintCurve(QImage& image, const std::vector<CurvePoint>& points, const QColor& colour) {
  if (points.empty() || colour.alpha() == 0) return;
  QPainter p(&image);
  PaintCurvePath(p, points, colour);
}

void GraphImage::BuildGraphBackground(Mode mode) {
  if (mode != Mode::Restore || Stale()) {
    gridScale_ = Geometry().GridScale();
    background_ = PaintBackground(Geometry(), Ratio());
    if (mode != Mode::Create) emit rebuilt();
  }
  picture_ = background_.copy();
  update();
}

void GraphImage::DrawCurve(const std::vector<CurvePoint>& points, const QColor& colour) {
  PaintCurve(picture_, points, colour);
  update();
}

void GraphImage::SetFocusMark(const QRect& mark) {
  if (mark == focusMark_) return;
  focusMark_ = mark;
  if (hasFocus()) update();
}

bool GraphImage::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::ScreenChangeInternal && !background_.isNull() &&
      background_.devicePixelRatio() != Ratio()) {
    emit ratioChanged();
  }
  return handled;
}

void GraphImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.isNull()) {
    p.fillRect(rect(), Qt::black);
    return;
  }
  p.drawImage(QPointF(0, 0), picture_);
  if (!hasFocus()) return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(skin::kFocusRing, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  if (!focusMark_.isEmpty()) {
    p.drawEllipse(QRectF(focusMark_).adjusted(-kRingGap, -kRingGap, kRingGap, kRingGap));
  }
}

void GraphImage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A canvas resized while hidden gets its resize event only when shown
  // again, after the drawing for the page has already rebuilt the grid at
  // the new size: that drawing is kept.
  if (Stale()) BuildGraphBackground(Mode::Resize);
}

void GraphImage::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved(event->buttons(), event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void GraphImage::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseReleased(event->button(), event->position().toPoint());
  QWidget::mouseReleaseEvent(event);
}

}  // namespace dsp
