#pragma once
// A slider that draws its thumb from replaceable pictures (normal and
// disabled), so all sliders can share one skin taken from a template slider.

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

 private:
  QRect ThumbRect() const;
  int ValueAt(const QPoint& point) const;

  QPixmap thumb_;
  QPixmap disabledThumb_;
};

}  // namespace dsp
