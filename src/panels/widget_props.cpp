#include "panels/widget_props.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVariant>

#include "panels/click_picture.h"
#include "panels/picture_button.h"
#include "panels/spin_buttons.h"
#include "panels/value_pane.h"

namespace dsp {

namespace {
constexpr const char* kTagProperty = "dspTag";
constexpr const char* kHintProperty = "dspHint";
constexpr const char* kOwnsWheelProperty = "dspOwnsWheel";
}  // namespace

int Tag(const QWidget* widget) {
  if (widget == nullptr) return 0;
  return widget->property(kTagProperty).toInt();
}

void SetTag(QWidget* widget, int tag) {
  if (widget != nullptr) widget->setProperty(kTagProperty, tag);
}

bool HasTag(const QWidget* widget) {
  return widget != nullptr && widget->property(kTagProperty).isValid();
}

QString Hint(const QWidget* widget) {
  if (widget == nullptr) return {};
  return widget->property(kHintProperty).toString();
}

void SetHint(QWidget* widget, const QString& hint) {
  if (widget != nullptr) widget->setProperty(kHintProperty, hint);
}

void SetOwnsWheel(QWidget* widget, bool owns) {
  if (widget != nullptr) widget->setProperty(kOwnsWheelProperty, owns);
}

bool OwnsWheel(const QWidget* widget) {
  return widget != nullptr && widget->property(kOwnsWheelProperty).toBool();
}

int HintInt(const QWidget* widget, int fallback) {
  bool ok = false;
  const int value = Hint(widget).trimmed().toInt(&ok);
  return ok ? value : fallback;
}

WidgetKind KindOf(const QWidget* widget) {
  if (widget == nullptr) return WidgetKind::None;
  // Order matters: ValuePane is a QLabel, so it is tested first.
  if (qobject_cast<const ValuePane*>(widget) != nullptr) return WidgetKind::ValuePane;
  if (qobject_cast<const ClickPicture*>(widget) != nullptr) return WidgetKind::Picture;
  if (qobject_cast<const QSlider*>(widget) != nullptr) return WidgetKind::Slider;
  if (qobject_cast<const QLineEdit*>(widget) != nullptr) return WidgetKind::TextField;
  if (qobject_cast<const QComboBox*>(widget) != nullptr) return WidgetKind::ChoiceBox;
  if (qobject_cast<const PictureButton*>(widget) != nullptr) return WidgetKind::PictureButton;
  if (qobject_cast<const SpinButtons*>(widget) != nullptr) return WidgetKind::SpinButtons;
  if (qobject_cast<const QLabel*>(widget) != nullptr) return WidgetKind::Label;
  return WidgetKind::Other;
}

const char* KindName(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::None:
      return "none";
    case WidgetKind::Slider:
      return "slider";
    case WidgetKind::ValuePane:
      return "pane";
    case WidgetKind::TextField:
      return "edit";
    case WidgetKind::ChoiceBox:
      return "choice";
    case WidgetKind::PictureButton:
      return "picture";
    case WidgetKind::Picture:
      return "image";
    case WidgetKind::SpinButtons:
      return "spin";
    case WidgetKind::Label:
      return "label";
    case WidgetKind::Other:
      return "other";
  }
  return "other";
}

}  // namespace dsp
