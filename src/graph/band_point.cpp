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
  emit wheeled(event->angleDelta().y());
  event->accept();
}

}  // namespace dsp
