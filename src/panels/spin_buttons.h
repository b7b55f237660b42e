#pragma once
// Spin buttons: one small widget split into two halves, up/down (vertical)
// or left/right (horizontal). A press on a half emits its signal; holding
// it repeats.

#include <QTimer>
#include <QWidget>

namespace dsp {

class SpinButtons : public QWidget {
  Q_OBJECT
 public:
  explicit SpinButtons(Qt::Orientation orientation, QWidget* parent = nullptr);

  Qt::Orientation orientation() const { return orientation_; }
  QSize sizeHint() const override;

  // Presses a half as a user would (used by keyboard-free callers and tests).
  void clickUpRight() { emit upRightClick(); }
  void clickDownLeft() { emit downLeftClick(); }

 signals:
  void upRightClick();
  void downLeftClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // 1 for the up/right half, -1 for the down/left half, 0 for none.
  int HalfAt(const QPoint& point) const;
  void Fire();

  Qt::Orientation orientation_;
  int pressedHalf_ = 0;
  QTimer repeat_;
};

}  // namespace dsp
