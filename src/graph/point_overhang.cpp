#include "graph/point_overhang.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>
#include <algorithm>

#include "eq/band_slots.h"
#include "graph/band_point.h"
#include "panels/widget_props.h"

namespace dsp {

namespace {

// The most a point can stick out: half the largest point.
int Margin() {
  return std::max(PointSize(0), PointSize(kHighPassPoint)) / 2;
}

}  // namespace

PointOverhang::PointOverhang(QWidget* area, std::vector<BandPoint*> points, QWidget* panel)
    : QWidget(panel), area_(area), points_(std::move(points)) {
  setObjectName(QStringLiteral("EQPointOverhang"));
  setAttribute(Qt::WA_TranslucentBackground);
  // A wheel turn over a point steps its Q there; the window-wide stepping
  // of the current field leaves this widget alone.
  SetOwnsWheel(this, true);
  area_->installEventFilter(this);
  for (BandPoint* point : points_) point->installEventFilter(this);
  Update();
}

QRect PointOverhang::PointRect(const BandPoint* point) const {
  return QRect(area_->pos() + point->pos() - pos(), point->size());
}

BandPoint* PointOverhang::PointAt(const QPointF& pos) const {
  // Later points lie over earlier ones.
  for (auto it = points_.rbegin(); it != points_.rend(); ++it) {
    if (!(*it)->isHidden() && QRectF(PointRect(*it)).contains(pos)) return *it;
  }
  return nullptr;
}

void PointOverhang::Update() {
  const int m = Margin();
  const QRect frame = area_->geometry().adjusted(-m, -m, m, m) & parentWidget()->rect();
  if (geometry() != frame) setGeometry(frame);
  QRegion parts;
  for (const BandPoint* point : points_) {
    if (!point->isHidden()) parts += PointRect(point);
  }
  parts -= QRect(area_->pos() - pos(), area_->size());
  if (held_ != nullptr && parts.isEmpty()) {
    // The held point went back into the area. Hiding this widget would end
    // the mouse grab that carries the drag: it stays until the release.
    update();
    return;
  }
  if (parts.isEmpty()) {
    hide();
    return;
  }
  // Most moves of a point leave the overhanging parts as they were.
  if (mask() != parts) setMask(parts);
  show();
  update();
}

bool PointOverhang::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
      if (watched == area_ || std::find(points_.begin(), points_.end(), watched) != points_.end()) Update();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void PointOverhang::paintEvent(QPaintEvent*) {
  // The mask keeps the drawing to the parts outside the area.
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (const BandPoint* point : points_) {
    if (!point->isHidden()) painter.drawPixmap(PointRect(point), point->pixmap());
  }
}

void PointOverhang::Forward(QMouseEvent* event, BandPoint* point) {
  const QPointF local = event->position() - QPointF(PointRect(point).topLeft());
  QMouseEvent forwarded(event->type(), local, point->mapTo(window(), local), event->globalPosition(),
                        event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
  QApplication::sendEvent(point, &forwarded);
  event->accept();
}

void PointOverhang::mousePressEvent(QMouseEvent* event) {
  BandPoint* point = held_ != nullptr ? held_.data() : PointAt(event->position());
  if (point == nullptr) {
    event->ignore();
    return;
  }
  held_ = point;
  Forward(event, point);
}

void PointOverhang::mouseMoveEvent(QMouseEvent* event) {
  if (held_ == nullptr) {
    event->ignore();
    return;
  }
  Forward(event, held_);
}

void PointOverhang::mouseReleaseEvent(QMouseEvent* event) {
  if (held_ == nullptr) {
    event->ignore();
    return;
  }
  BandPoint* point = held_;
  if (event->buttons() == Qt::NoButton) held_ = nullptr;
  Forward(event, point);
  Update();
}

void PointOverhang::wheelEvent(QWheelEvent* event) {
  BandPoint* point = PointAt(event->position());
  if (point == nullptr) {
    event->ignore();
    return;
  }
  const QPointF local = event->position() - QPointF(PointRect(point).topLeft());
  QWheelEvent forwarded(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                        event->buttons(), event->modifiers(), event->phase(), event->inverted());
  QApplication::sendEvent(point, &forwarded);
  event->accept();
}

}  // namespace dsp
