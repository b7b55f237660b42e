#include "panels/picture_button.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "panels/skin.h"

namespace dsp {

namespace {

double Channel(double c) {
  c /= 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

QColor Over(const QColor& top, const QColor& bottom) {
  const double a = top.alphaF();
  auto mix = [a](int t, int b) { return static_cast<int>(std::lround(t * a + b * (1.0 - a))); };
  return QColor(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                mix(top.blue(), bottom.blue()));
}

// A dimmed caption is still clearly readable on the disabled picture.
constexpr int kDisabledCaptionAlpha = 190;
constexpr double kReadableContrast = 4.5;

}  // namespace

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

double PictureButton::ContrastRatio(const QColor& foreground, const QColor& background) {
  const QColor solid = Over(foreground, background);
  const double a = Luminance(solid);
  const double b = Luminance(background);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor PictureButton::MeanColour(const QImage& image, const QRect& area) {
  const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
  const QRect r = area & rgb.rect();
  double red = 0, green = 0, blue = 0;
  long count = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = QColor::fromRgba(rgb.pixel(x, y));
      red += c.red();
      green += c.green();
      blue += c.blue();
      ++count;
    }
  }
  if (count == 0) return QColor(Qt::black);
  return QColor(static_cast<int>(std::lround(red / count)), static_cast<int>(std::lround(green / count)),
                static_cast<int>(std::lround(blue / count)));
}

QRect PictureButton::CaptionArea() const {
  const QRect area(QPoint(0, 0), size());
  return QFontMetrics(font()).boundingRect(area, Qt::AlignCenter, ShownCaption()) & area;
}

QString PictureButton::ShownCaption() const {
  return CaptionFit::Shown(font(), text(), CaptionRoom());
}

PictureButton::Look PictureButton::CurrentLook() const {
  if (!isEnabled()) return Look::Disabled;
  if (isDown()) return Look::Pressed;
  if (underMouse()) return Look::Hot;
  if (hasFocus()) return Look::Focused;
  return Look::Idle;
}

QColor PictureButton::CaptionColourFor(Look look, Picture base) const {
  const Picture shown = look == Look::Disabled ? Disabled : look == Look::Pressed ? Pressed : base;
  const QString key = QStringLiteral("%1/%2/%3x%4/%5/%6")
                          .arg(pictures_[shown].cacheKey())
                          .arg(static_cast<int>(look))
                          .arg(width())
                          .arg(height())
                          .arg(captionColour_.rgba())
                          .arg(text());
  if (auto it = captionCache_.constFind(key); it != captionCache_.constEnd()) return *it;
  QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    PaintBackground(painter, look, base);
  }
  const QColor background = MeanColour(image, CaptionArea());
  auto shade = [look](QColor c) {
    if (look == Look::Disabled) c.setAlpha(kDisabledCaptionAlpha);
    return c;
  };
  QColor chosen = shade(captionColour_);
  if (ContrastRatio(chosen, background) < kReadableContrast) {
    const QColor white = shade(QColor(255, 255, 255));
    const QColor black = shade(QColor(0, 0, 0));
    chosen = ContrastRatio(white, background) >= ContrastRatio(black, background) ? white : black;
  }
  if (captionCache_.size() > 64) captionCache_.clear();
  captionCache_.insert(key, chosen);
  return chosen;
}

void PictureButton::PaintBackground(QPainter& painter, Look look, Picture base) const {
  const QRect area(QPoint(0, 0), size());
  Picture which = base;
  if (look == Look::Disabled) which = Disabled;
  if (look == Look::Pressed) which = Pressed;
  const QPixmap& pixmap = pictures_[which].isNull() ? pictures_[Normal] : pictures_[which];
  if (!pixmap.isNull()) painter.drawPixmap(area, pixmap);
  // Pointing at a button and focusing it draw rings, so the picture that
  // shows the state, and with it the caption's contrast, stays as it is
  // (a brightening fill made white captions on lit pictures hard to read).
  if (look == Look::Hot || look == Look::Focused) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(look == Look::Focused ? QPen(skin::kFocusRing, 1.5)
                                         : QPen(QColor(255, 255, 255, 150), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(area).adjusted(1, 1, -1, -1), 3, 3);
    painter.restore();
  }
}

void PictureButton::Paint(QPainter& painter, Look look, Picture base, bool withCaption) const {
  PaintBackground(painter, look, base);
  const QRect area(QPoint(0, 0), size());
  if (withCaption && !text().isEmpty()) {
    painter.setPen(CaptionColourFor(look, base));
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter, ShownCaption());
  }
}

QImage PictureButton::Render(Look look, Picture base, bool withCaption) const {
  QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  Paint(painter, look, base, withCaption);
  return image;
}

void PictureButton::paintEvent(QPaintEvent*) {
  // A caption set since the last fit is fitted now (setText only repaints).
  fit_.Fit(*this, text(), CaptionRoom());
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

void PictureButton::resizeEvent(QResizeEvent* event) {
  QAbstractButton::resizeEvent(event);
  fit_.Fit(*this, text(), CaptionRoom());
}

void PictureButton::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::FontChange) fit_.Fit(*this, text(), CaptionRoom());
}

}  // namespace dsp
