#pragma once
// What a control says to a screen reader. A control bound to a parameter is
// named after the parameter in the user's language ("音乐 EQ3 增益",
// "Music EQ3 Gain") and described by what the name leaves out: its band and
// field, what the widget does for the parameter (shows it, steps it, picks
// one of its values) and the range or the choices of its values ("EQ 第3段，
// 增益，-24.0dB 至 12.0dB"). Other controls take their name from their
// caption or the label in front of them and a description they are given.
//
// Names and descriptions are set once, when the widgets are bound, in the
// language installed then; the common band panel's controls follow the band
// they show.

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace dsp {

class ControlRegistry;
class Translator;

class ControlNames {
  Q_DECLARE_TR_FUNCTIONS(ControlNames)

 public:
  // Every widget the registry binds to a parameter of channels 0..9. The
  // microphone page's widgets are named after `micRow` (1 group A, 2 group
  // B), the group they show. Widgets of slots without a recordable
  // parameter are left alone.
  static void DescribeBoundControls(const ControlRegistry& registry, int micRow, const Translator& texts);
  // One widget standing for the parameter at `slot` of device image row
  // `row` (channels 0..9, the microphone groups as rows 1 and 2). `member`
  // is the value the widget picks (a band type picture, a radio member), -1
  // for a widget that shows or changes the value; a picture button listed
  // among the parameter's members finds its value itself. Returns false,
  // changing nothing, when the slot holds no recordable parameter.
  static bool DescribeParamControl(QWidget* widget, int row, int slot, const Translator& texts,
                                   int member = -1);

  // A caption as a name: without a trailing colon (":" or "：").
  static QString CaptionAsName(const QString& caption);
  // The name of a control that is bound to no parameter: its accessible
  // name if it has one, else its caption, else the text of the label whose
  // buddy it is, else its tooltip.
  static QString PlainName(const QWidget* widget);
};

}  // namespace dsp
