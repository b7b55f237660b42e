#pragma once
// A skinned button drawn from six pictures (normal, normal-and-focused,
// disabled, pressed, stay-down, hot) with a caption in its own text colour.
// State changes are made by copying pictures: a lit two-state button has its
// pressed picture as its normal one, an unlit one its disabled picture.
//
// Focus and pointing do not replace the picture that carries the state:
// a focused button shows its normal picture with a focus ring, a pointed-at
// one its normal picture brightened, so a lit button (or the chosen page
// tab) keeps its look and its caption stays readable in every state.

#include <QAbstractButton>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <array>

#include "panels/caption_fit.h"

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

  // How the button can look: idle, focused, pointed at (its normal picture
  // with a ring or brightened), pressed (the pressed picture) and disabled
  // (the disabled picture, caption dimmed).
  enum class Look { Idle, Focused, Hot, Pressed, Disabled };
  // The button drawn in a look at its own size. For the idle, focused and
  // hot looks `base` stands for the normal picture, so every picture a
  // state may copy into it can be checked.
  QImage Render(Look look, Picture base = Normal, bool withCaption = true) const;
  // The caption colour drawn in a look: the button's own colour where it
  // reads well on that background (contrast ratio at least 4.5), else
  // black or white, whichever reads better; dimmed when disabled.
  QColor CaptionColourFor(Look look, Picture base = Normal) const;
  // Where the caption is drawn.
  QRect CaptionArea() const;
  // The caption as drawn: elided when it does not fit the face (the tooltip
  // then carries it whole).
  QString ShownCaption() const;

  // The contrast ratio of two colours (1 to 21), from their relative
  // luminances; a translucent foreground is first blended over the
  // background.
  static double ContrastRatio(const QColor& foreground, const QColor& background);
  // The mean colour of an image over a rectangle.
  static QColor MeanColour(const QImage& image, const QRect& area);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  Look CurrentLook() const;
  void Paint(QPainter& painter, Look look, Picture base, bool withCaption) const;
  void PaintBackground(QPainter& painter, Look look, Picture base) const;

  // Room for the caption: the face within its outline.
  int CaptionRoom() const { return width() - 2; }

  std::array<QPixmap, kPictureCount> pictures_;
  CaptionFit fit_;
  QColor captionColour_{Qt::white};
  // Caption colours already worked out, by background picture, look, size
  // and text.
  mutable QHash<QString, QColor> captionCache_;
};

}  // namespace dsp
