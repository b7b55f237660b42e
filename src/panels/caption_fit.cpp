#include "panels/caption_fit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace dsp {

QString CaptionFit::Shown(const QFont& font, const QString& caption, int room) {
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(caption) <= room ? caption : metrics.elidedText(caption, Qt::ElideRight, room);
}

QString CaptionFit::Fit(QWidget& widget, const QString& caption, int room) {
  const QString shown = Shown(widget.font(), caption, room);
  // A tooltip the widget was given stays; the one this gave follows the fit.
  if (widget.toolTip().isEmpty() || widget.toolTip() == tip_) {
    tip_ = shown == caption ? QString() : caption;
    if (widget.toolTip() != tip_) widget.setToolTip(tip_);
  }
  return shown;
}

bool CaptionLabel::IsCaption() const {
  return !wordWrap() && pixmap().isNull() && !text().contains(QLatin1Char('\n')) &&
         !(textFormat() == Qt::RichText || (textFormat() == Qt::AutoText && Qt::mightBeRichText(text())));
}

QString CaptionLabel::Fitted() {
  return fit_.Fit(*this, text(), contentsRect().width() - 2 * margin());
}

void CaptionLabel::paintEvent(QPaintEvent* event) {
  if (!IsCaption()) {
    QLabel::paintEvent(event);
    return;
  }
  const QString shown = Fitted();
  if (shown == text()) {
    QLabel::paintEvent(event);
    return;
  }
  // Drawn as QLabel draws its text, elided.
  QPainter painter(this);
  drawFrame(&painter);
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                        isEnabled(), shown, foregroundRole());
}

void CaptionLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  if (IsCaption()) Fitted();
}

void CaptionLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange && IsCaption()) Fitted();
}

}  // namespace dsp
