#include "panels/skin_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "panels/skin.h"

namespace dsp {

SkinSlider::SkinSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
  // Reached with Tab (the arrow keys then step it); a click does not take
  // the focus, so the wheel and arrows keep stepping the current band field.
  setFocusPolicy(Qt::TabFocus);
}

void SkinSlider::setThumbPictures(const QPixmap& normal, const QPixmap& disabled) {
  thumb_ = normal;
  disabledThumb_ = disabled;
  update();
}

QRect SkinSlider::ThumbRect() const {
  const bool horizontal = orientation() == Qt::Horizontal;
  QSize size = thumb_.isNull() ? (horizontal ? QSize(10, height()) : QSize(width(), 10))
                               : thumb_.deviceIndependentSize().toSize();
  size = size.boundedTo(this->size());
  const int span = horizontal ? width() - size.width() : height() - size.height();
  const int range = maximum() - minimum();
  int offset = range > 0 ? static_cast<int>(static_cast<long long>(value() - minimum()) * span / range) : 0;
  if (horizontal) {
    if (invertedAppearance()) offset = span - offset;
    return {offset, (height() - size.height()) / 2, size.width(), size.height()};
  }
  // Vertical sliders grow upwards.
  if (!invertedAppearance()) offset = span - offset;
  return {(width() - size.width()) / 2, offset, size.width(), size.height()};
}

int SkinSlider::ValueAt(const QPoint& point) const {
  const QRect thumb = ThumbRect();
  const bool horizontal = orientation() == Qt::Horizontal;
  const int span = horizontal ? width() - thumb.width() : height() - thumb.height();
  int pos = horizontal ? point.x() - thumb.width() / 2 : point.y() - thumb.height() / 2;
  if (!horizontal) pos = span - pos;
  return QStyle::sliderValueFromPosition(minimum(), maximum(), pos, std::max(span, 1));
}

int SkinSlider::PointerValue(const QPoint& point) const {
  const bool horizontal = orientation() == Qt::Horizontal;
  return ValueAt(horizontal ? point - QPoint(grabOffset_, 0) : point - QPoint(0, grabOffset_));
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled() || maximum() == minimum() || dragging_) {
    event->ignore();
    return;
  }
  const QPoint point = event->position().toPoint();
  const QRect thumb = ThumbRect();
  const bool onThumb = thumb.contains(point);
  const bool horizontal = orientation() == Qt::Horizontal;
  // Grabbing the thumb keeps it where it is under the pointer; a press
  // beside it takes the thumb's centre to the pointer.
  grabOffset_ = onThumb ? (horizontal ? point.x() - thumb.center().x() : point.y() - thumb.center().y()) : 0;
  dragging_ = true;
  pointerValue_ = PointerValue(point);
  setSliderDown(true);
  if (!onThumb) setSliderPosition(pointerValue_);
  event->accept();
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    event->ignore();
    return;
  }
  // Only a new step under the pointer moves the thumb. Compared with the
  // pointer's last step, not the slider's value: a reaction that holds the
  // value back (the current volume's one step per change) must not be
  // asked again by every pixel the pointer moves within the same step.
  const int value = PointerValue(event->position().toPoint());
  if (value != pointerValue_) {
    pointerValue_ = value;
    setSliderPosition(value);
  }
  event->accept();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  EndDrag();
  event->accept();
}

void SkinSlider::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  setSliderDown(false);
}

void SkinSlider::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) EndDrag();
  QSlider::changeEvent(event);
}

void SkinSlider::hideEvent(QHideEvent* event) {
  EndDrag();
  QSlider::hideEvent(event);
}

void SkinSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool horizontal = orientation() == Qt::Horizontal;
  const QRect thumb = ThumbRect();
  QRectF groove;
  if (horizontal) {
    groove = QRectF(thumb.width() / 2.0, height() / 2.0 - 2, width() - thumb.width(), 4);
  } else {
    groove = QRectF(width() / 2.0 - 2, thumb.height() / 2.0, 4, height() - thumb.height());
  }
  painter.setPen(QColor(6, 14, 30));
  painter.setBrush(QColor(10, 20, 40));
  painter.drawRoundedRect(groove, 2, 2);
  QRectF fill = groove;
  if (horizontal) {
    fill.setRight(thumb.center().x());
  } else {
    fill.setTop(thumb.center().y());
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(isEnabled() ? QColor(40, 150, 240) : QColor(70, 80, 95));
  painter.drawRoundedRect(fill, 2, 2);
  const QPixmap& picture = isEnabled() || disabledThumb_.isNull() ? thumb_ : disabledThumb_;
  if (!picture.isNull()) {
    painter.drawPixmap(thumb, picture);
  } else {
    painter.setBrush(QColor(200, 210, 225));
    painter.drawRect(thumb);
  }
  // The same amber focus ring the picture buttons draw.
  if (hasFocus()) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(skin::kFocusRing, 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 2, 2);
  }
}

}  // namespace dsp
