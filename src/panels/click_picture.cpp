#include "panels/click_picture.h"

#include <QMouseEvent>

namespace dsp {

ClickPicture::ClickPicture(QWidget* parent) : QLabel(parent) {
  setScaledContents(true);
}

void ClickPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) {
    emit clicked();
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

}  // namespace dsp
