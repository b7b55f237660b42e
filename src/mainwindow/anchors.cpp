#include "mainwindow/anchors.h"

#include <QWidget>

namespace dsp {

void Anchors::Add(QWidget* widget, int edges) {
  if (widget == nullptr || widget->parentWidget() == nullptr) return;
  entries_.push_back({widget, widget->geometry(), widget->parentWidget()->size(), edges});
}

QRect Anchors::Place(const QRect& design, const QSize& designParent, const QSize& parent, int edges) {
  const int dw = parent.width() - designParent.width();
  const int dh = parent.height() - designParent.height();
  QRect r = design;
  if ((edges & kLeft) && (edges & kRight)) {
    r.setWidth(design.width() + dw);
  } else if (edges & kRight) {
    r.moveLeft(design.left() + dw);
  }
  if ((edges & kTop) && (edges & kBottom)) {
    r.setHeight(design.height() + dh);
  } else if (edges & kBottom) {
    r.moveTop(design.top() + dh);
  }
  return r;
}

void Anchors::Apply() {
  for (const Entry& e : entries_) {
    QWidget* parent = e.widget->parentWidget();
    if (parent == nullptr) continue;
    e.widget->setGeometry(Place(e.design, e.designParent, parent->size(), e.edges));
  }
}

}  // namespace dsp
