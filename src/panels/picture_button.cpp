#include "panels/picture_button.h"

#include <QPainter>

namespace dsp {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_Hover);
}

void PictureButton::setPicture(Picture which, const QPixmap& pixmap) {
  pictures_[which] = pixmap;
  update();
}

void PictureButton::setPictures(const std::array<QPixmap, kPictureCount>& pictures) {
  pictures_ = pictures;
  update();
}

void PictureButton::setCaptionColour(const QColor& colour) {
  captionColour_ = colour;
  update();
}

QSize PictureButton::sizeHint() const {
  if (!pictures_[Normal].isNull()) return pictures_[Normal].deviceIndependentSize().toSize();
  return {60, 22};
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Picture which = Normal;
  if (!isEnabled()) {
    which = Disabled;
  } else if (isDown()) {
    which = Pressed;
  } else if (hasFocus() && !pictures_[NormalFocused].isNull()) {
    which = NormalFocused;
  }
  const QPixmap& pixmap = pictures_[which].isNull() ? pictures_[Normal] : pictures_[which];
  if (!pixmap.isNull()) painter.drawPixmap(rect(), pixmap);
  // Pointing at a button brightens whatever it shows, so a lit or unlit
  // state stays readable under the mouse.
  if (isEnabled() && underMouse() && !isDown()) painter.fillRect(rect(), QColor(255, 255, 255, 36));
  if (!text().isEmpty()) {
    QColor colour = captionColour_;
    if (!isEnabled()) colour.setAlpha(110);
    painter.setPen(colour);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
  }
}

void PictureButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  update();
}

void PictureButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  update();
}

}  // namespace dsp
