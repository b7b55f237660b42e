#include "panels/choice_box.h"

#include <QPainter>
#include <QPainterPath>

namespace dsp {

void ChoiceBox::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal cx = width() - 7.5;
  const qreal cy = height() / 2.0;
  QPainterPath arrow;
  arrow.moveTo(cx - 3.5, cy - 2);
  arrow.lineTo(cx + 3.5, cy - 2);
  arrow.lineTo(cx, cy + 2.5);
  arrow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(isEnabled() ? QColor(220, 234, 255) : QColor(110, 118, 132));
  p.drawPath(arrow);
}

}  // namespace dsp
