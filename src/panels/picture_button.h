#pragma once
// A skinned button drawn from six pictures (normal, normal-and-focused,
// disabled, pressed, stay-down, hot) with a caption in its own text colour.
// State changes are made by copying pictures: a lit two-state button has its
// pressed picture as its normal one, an unlit one its disabled picture.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <array>

namespace dsp {

class PictureButton : public QAbstractButton {
  Q_OBJECT
 public:
  enum Picture { Normal = 0, NormalFocused, Disabled, Pressed, StayDown, Hot };
  static constexpr int kPictureCount = 6;

  explicit PictureButton(QWidget* parent = nullptr);

  const QPixmap& picture(Picture which) const { return pictures_[which]; }
  void setPicture(Picture which, const QPixmap& pixmap);
  void setPictures(const std::array<QPixmap, kPictureCount>& pictures);

  QColor captionColour() const { return captionColour_; }
  void setCaptionColour(const QColor& colour);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  std::array<QPixmap, kPictureCount> pictures_;
  QColor captionColour_{Qt::white};
};

}  // namespace dsp
