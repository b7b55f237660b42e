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

PictureButton::Look PictureButton::CurrentLook() const {
  if (!isEnabled()) return Look::Disabled;
  if (isDown()) return Look::Pressed;
  if (underMouse()) return Look::Hot;
  if (hasFocus()) return Look::Focused;
  return Look::Idle;
}

QColor PictureButton::CaptionColourFor(Look look) const {
  QColor colour = captionColour_;
  // Dimmed, but still well readable on the disabled picture.
  if (look == Look::Disabled) colour.setAlpha(180);
  return colour;
}

void PictureButton::Paint(QPainter& painter, Look look, Picture base, bool withCaption) const {
  const QRect area(QPoint(0, 0), size());
  Picture which = base;
  if (look == Look::Disabled) which = Disabled;
  if (look == Look::Pressed) which = Pressed;
  const QPixmap& pixmap = pictures_[which].isNull() ? pictures_[Normal] : pictures_[which];
  if (!pixmap.isNull()) painter.drawPixmap(area, pixmap);
  // Pointing at a button brightens whatever it shows, so a lit or unlit
  // state stays recognisable under the mouse.
  if (look == Look::Hot) painter.fillRect(area, QColor(255, 255, 255, 28));
  if (look == Look::Focused) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 190, 40), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(area).adjusted(1, 1, -1, -1), 3, 3);
    painter.restore();
  }
  if (withCaption && !text().isEmpty()) {
    painter.setPen(CaptionColourFor(look));
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter, text());
  }
}

QImage PictureButton::Render(Look look, Picture base, bool withCaption) const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  Paint(painter, look, base, withCaption);
  return image;
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter, CurrentLook(), Normal, true);
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
