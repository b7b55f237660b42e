#include "panels/spin_buttons.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace dsp {

SpinButtons::SpinButtons(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  repeat_.setInterval(90);
  connect(&repeat_, &QTimer::timeout, this, &SpinButtons::Fire);
}

QSize SpinButtons::sizeHint() const {
  return orientation_ == Qt::Vertical ? QSize(14, 20) : QSize(30, 16);
}

int SpinButtons::HalfAt(const QPoint& point) const {
  if (orientation_ == Qt::Vertical) return point.y() < height() / 2 ? 1 : -1;
  return point.x() >= width() / 2 ? 1 : -1;
}

void SpinButtons::Fire() {
  if (pressedHalf_ > 0) emit upRightClick();
  if (pressedHalf_ < 0) emit downLeftClick();
  repeat_.setInterval(70);
}

void SpinButtons::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  pressedHalf_ = HalfAt(event->position().toPoint());
  update();
  Fire();
  repeat_.start(400);
}

void SpinButtons::mouseReleaseEvent(QMouseEvent*) {
  pressedHalf_ = 0;
  repeat_.stop();
  update();
}

void SpinButtons::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool vertical = orientation_ == Qt::Vertical;
  const QRectF whole = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QRectF first = whole, second = whole;  // first: up or left half
  if (vertical) {
    first.setHeight(whole.height() / 2);
    second.setTop(first.bottom());
  } else {
    first.setWidth(whole.width() / 2);
    second.setLeft(first.right());
  }
  const QColor face = isEnabled() ? QColor(34, 74, 140) : QColor(50, 56, 70);
  const QColor lit(70, 150, 235);
  const int firstHalf = vertical ? 1 : -1;
  for (int i = 0; i < 2; ++i) {
    const QRectF& r = i == 0 ? first : second;
    const int half = i == 0 ? firstHalf : -firstHalf;
    painter.setPen(QColor(12, 28, 60));
    painter.setBrush(pressedHalf_ == half ? lit : face);
    painter.drawRect(r);
    // Arrow pointing up, down, left or right.
    const QPointF c = r.center();
    const qreal s = std::min(r.width(), r.height()) * 0.28;
    QPainterPath arrow;
    if (vertical) {
      const qreal d = half > 0 ? -1 : 1;
      arrow.moveTo(c.x() - s, c.y() - d * s * 0.5);
      arrow.lineTo(c.x() + s, c.y() - d * s * 0.5);
      arrow.lineTo(c.x(), c.y() + d * s * 0.7);
    } else {
      const qreal d = half > 0 ? 1 : -1;
      arrow.moveTo(c.x() - d * s * 0.5, c.y() - s);
      arrow.lineTo(c.x() - d * s * 0.5, c.y() + s);
      arrow.lineTo(c.x() + d * s * 0.7, c.y());
    }
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? QColor(215, 232, 255) : QColor(110, 115, 125));
    painter.drawPath(arrow);
  }
}

}  // namespace dsp
