#include "graph/band_point.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include "panels/widget_props.h"

namespace dsp {

BandPoint::BandPoint(int index, const QPixmap& picture, QWidget* parent) : QLabel(parent), index_(index) {
  setPixmap(picture);
  setScaledContents(true);
  setAttribute(Qt::WA_TranslucentBackground);
  setCursor(Qt::ArrowCursor);
  SetTag(this, index);
  SetOwnsWheel(this, true);
}

void BandPoint::mousePressEvent(QMouseEvent* event) {
  emit pressed(event->button(), event->position().toPoint());
  event->accept();
}

void BandPoint::mouseMoveEvent(QMouseEvent* event) {
  emit moved(event->buttons(), event->position().toPoint());
  event->accept();
}

void BandPoint::mouseReleaseEvent(QMouseEvent* event) {
  emit released(event->button(), event->position().toPoint());
  event->accept();
}

void BandPoint::wheelEvent(QWheelEvent* event) {
  // One notch is 120; fine-grained wheels and touchpads send parts of it.
  // Each whole notch is handed on once, the rest kept for the next turn.
  constexpr int kNotch = 120;
  wheelRemainder_ += event->angleDelta().y();
  while (wheelRemainder_ >= kNotch || wheelRemainder_ <= -kNotch) {
    const int notch = wheelRemainder_ > 0 ? kNotch : -kNotch;
    wheelRemainder_ -= notch;
    emit wheeled(notch);
  }
  event->accept();
}

}  // namespace dsp
