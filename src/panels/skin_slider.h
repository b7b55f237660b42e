#pragma once
// A slider that draws its thumb from replaceable pictures (normal and
// disabled), so all sliders can share one skin taken from a template slider.
//
// The mouse moves the thumb to the pointer: a press beside the thumb jumps
// there (one change), a drag follows the pointer, and a mouse held still
// changes nothing. There is no page stepping and no auto-repeat, so the
// change notification fires only when the step under the pointer changes.

#include <QPixmap>
#include <QSlider>

namespace dsp {

class SkinSlider : public QSlider {
  Q_OBJECT
 public:
  explicit SkinSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

  const QPixmap& thumbPicture() const { return thumb_; }
  const QPixmap& disabledThumbPicture() const { return disabledThumb_; }
  void setThumbPictures(const QPixmap& normal, const QPixmap& disabled);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Ends a drag that its release will never end (the slider was disabled
  // or hidden while the button was held).
  void EndDrag();
  QRect ThumbRect() const;
  int ValueAt(const QPoint& point) const;
  // The step under the pointer, allowing for where the thumb was grabbed.
  int PointerValue(const QPoint& point) const;

  QPixmap thumb_;
  QPixmap disabledThumb_;
  bool dragging_ = false;
  int grabOffset_ = 0;    // pointer to thumb centre along the groove, in pixels
  int pointerValue_ = 0;  // the step under the pointer at the last move
};

}  // namespace dsp
