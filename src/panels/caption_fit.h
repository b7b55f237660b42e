#pragma once
// Captions that do not fit. A caption drawn in less room than it needs (a
// longer translation, a larger font) is elided, and while it is, the
// widget's tooltip carries the full caption; a tooltip of the widget's own
// is kept. Picture buttons and the caption labels of the widget factory
// fit their captions this way whenever they are resized, change their font
// or are painted.

#include <QLabel>
#include <QString>

namespace dsp {

class CaptionFit {
 public:
  // The caption as it can be drawn in `room` pixels with the widget's
  // font, and the widget's tooltip set or cleared to match.
  QString Fit(QWidget& widget, const QString& caption, int room);
  // The caption as it is drawn in `room` pixels with `font`: as it is, or
  // elided.
  static QString Shown(const QFont& font, const QString& caption, int room);

 private:
  QString tip_;  // the tooltip this fit gave the widget; empty when none
};

// A one-line caption in the skin's label look that fits its caption.
class CaptionLabel : public QLabel {
  Q_OBJECT
 public:
  explicit CaptionLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // True for a caption this label fits (plain text on one line).
  bool IsCaption() const;
  QString Fitted();

  CaptionFit fit_;
};

}  // namespace dsp
