#include "graph/graph_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "panels/skin.h"

namespace dsp {

namespace {

QColor ToQColor(const Rgb& c) {
  return QColor(c.r, c.g, c.b);
}

// The cardinal spline through the points as cubic Bezier segments: the
// tangent at a point is (next - previous) scaled by the tension, the end
// points use themselves as their missing neighbour.
QPainterPath CardinalSpline(const std::vector<CurvePoint>& points, double tension) {
  QPainterPath path;
  const int n = static_cast<int>(points.size());
  if (n == 0) return path;
  auto at = [&points, n](int i) {
    const CurvePoint& p = points[static_cast<std::size_t>(std::clamp(i, 0, n - 1))];
    return QPointF(p.x, p.y);
  };
  path.moveTo(at(0));
  const double k = tension / 3.0;
  for (int i = 0; i + 1 < n; ++i) {
    const QPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    path.cubicTo(p1 + (p2 - p0) * k, p2 - (p3 - p1) * k, p2);
  }
  return path;
}

constexpr double kCurveTension = 0.4;
constexpr double kCurvePen = 1.8;

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
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const GridLine& line : GridLines(geometry)) {
    p.setPen(QPen(ToQColor(line.colour), 1));
    p.drawLine(line.x1, line.y1, line.x2, line.y2);
  }
  return image;
}

void GraphImage::PaintCurve(QImage& image, const std::vector<CurvePoint>& points, const QColor& colour) {
  if (points.empty() || colour.alpha() == 0) return;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(colour, kCurvePen);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(CardinalSpline(points, kCurveTension));
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
