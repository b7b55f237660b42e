#pragma once
// One builder per widget kind: each creates a widget with its layout name,
// geometry, skin and initial state. The page builders only decide where.

#include <QRect>
#include <QString>
#include <QStringList>

#include "panels/skin.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QWidget;

namespace dsp {

class ClickPicture;
class PictureButton;
class SkinSlider;
class SpinButtons;
class ValuePane;

class WidgetFactory {
 public:
  static QFrame* Panel(QWidget* parent, const QString& name, const char* skinName, const QRect& rect);
  static QLabel* Label(QWidget* parent, const QString& name, const QString& text, const QRect& rect,
                       Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
                       const char* skinName = "caption", int pixelSize = 12);
  static SkinSlider* Slider(QWidget* parent, const QString& name, Qt::Orientation orientation, int max,
                            const QRect& rect);
  // A value pane with its role in the hint text and the text of step 0.
  static ValuePane* Pane(QWidget* parent, const QString& name, int role, const QRect& rect);
  static QLineEdit* Edit(QWidget* parent, const QString& name, const QString& hint, const QRect& rect);
  static QLineEdit* PasswordEdit(QWidget* parent, const QString& name, int maxLength, bool bullets,
                                 const QRect& rect);
  static QComboBox* Choice(QWidget* parent, const QString& name, const QStringList& items, const QRect& rect);
  static PictureButton* Button(QWidget* parent, const QString& name, skin::ButtonStyle style,
                               const QString& caption, const QRect& rect);
  static SpinButtons* Spin(QWidget* parent, const QString& name, Qt::Orientation orientation,
                           const QRect& rect);
  static ClickPicture* Picture(QWidget* parent, const QString& name, const QPixmap& pixmap,
                               const QRect& rect);
};

}  // namespace dsp
