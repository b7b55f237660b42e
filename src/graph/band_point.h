#pragma once
// A band point of the EQ graph (EP1..EP15, HPF, LPF): a small transparent
// picture whose mouse presses, moves, releases and wheel turns are handed on
// to the graph controller. The point keeps its wheel turns: the window-wide
// wheel stepping of the current field does not see them.

#include <QLabel>

namespace dsp {

class BandPoint : public QLabel {
  Q_OBJECT
 public:
  BandPoint(int index, const QPixmap& picture, QWidget* parent);

  int Index() const { return index_; }

 signals:
  void pressed(Qt::MouseButton button, QPoint pos);
  void moved(Qt::MouseButtons buttons, QPoint pos);
  void released(Qt::MouseButton button, QPoint pos);
  void wheeled(int delta);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int index_;
  int wheelRemainder_ = 0;  // a fine-grained wheel's turn short of a notch
};

}  // namespace dsp
