#pragma once
// The text a widget shows and the room it has for it, as the layout checks
// measure them with the widget's own font metrics.

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStyle>
#include <optional>

#include "panels/value_pane.h"

namespace dsp {

struct ShownText {
  QString text;
  int room = 0;  // pixels across
  bool Fits() const { return QFontMetrics(font).horizontalAdvance(text) <= room; }
  QFont font;
};

// Captions: labels (not pictures, not word-wrapped, not value panes) and
// button captions. Nothing for widgets without a one-line caption.
inline std::optional<ShownText> CaptionOf(const QWidget* w) {
  ShownText shown;
  shown.font = w->font();
  if (qobject_cast<const ValuePane*>(w) != nullptr) return std::nullopt;
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->wordWrap() || !label->pixmap().isNull()) return std::nullopt;
    shown.text = label->text();
    shown.room = label->contentsRect().width() - 2 * label->margin();
  } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
    shown.text = button->text();
    shown.room = button->width();
  } else {
    return std::nullopt;
  }
  if (shown.text.isEmpty() || shown.text.contains(QLatin1Char('\n')) || shown.text.contains(QLatin1Char('<')))
    return std::nullopt;
  return shown;
}

// Values: what a value pane or a plain text field shows.
inline std::optional<ShownText> ValueOf(const QWidget* w) {
  ShownText shown;
  shown.font = w->font();
  if (auto* pane = qobject_cast<const ValuePane*>(w)) {
    shown.text = pane->text();
    shown.room = pane->contentsRect().width() - 2 * pane->margin();
  } else if (auto* edit = qobject_cast<const QLineEdit*>(w); edit && edit->echoMode() == QLineEdit::Normal) {
    shown.text = edit->text();
    shown.room = edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right() - 4;
  } else {
    return std::nullopt;
  }
  if (shown.text.isEmpty()) return std::nullopt;
  return shown;
}

}  // namespace dsp
