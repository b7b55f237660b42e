#pragma once
// Tag and hint text of a widget. The tag holds the ParamAddress a widget is
// bound to, the hint text its value role or its button state. Both live as
// dynamic properties so any QWidget can carry them and tests can read them.

#include <QString>

class QWidget;

namespace dsp {

// Tag of a widget; 0 when none was set.
int Tag(const QWidget* widget);
void SetTag(QWidget* widget, int tag);
bool HasTag(const QWidget* widget);

QString Hint(const QWidget* widget);
void SetHint(QWidget* widget, const QString& hint);
// The hint text read as an integer; fallback when it is empty or not a number.
int HintInt(const QWidget* widget, int fallback = 0);

// A widget that uses the mouse wheel itself (the graph's band points): the
// window-wide wheel stepping of the current field leaves its turns alone.
void SetOwnsWheel(QWidget* widget, bool owns);
bool OwnsWheel(const QWidget* widget);

// The kinds of widgets the pages are made of.
enum class WidgetKind {
  None,
  Slider,
  ValuePane,
  TextField,
  ChoiceBox,
  PictureButton,
  Picture,
  SpinButtons,
  Label,
  Other
};

WidgetKind KindOf(const QWidget* widget);
const char* KindName(WidgetKind kind);

}  // namespace dsp
