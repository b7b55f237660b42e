#include "panels/widget_factory.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "eq/scales.h"
#include "panels/caption_fit.h"
#include "panels/choice_box.h"
#include "panels/click_picture.h"
#include "panels/picture_button.h"
#include "panels/skin_slider.h"
#include "panels/spin_buttons.h"
#include "panels/value_pane.h"
#include "panels/widget_props.h"

namespace dsp {

QFrame* WidgetFactory::Panel(QWidget* parent, const QString& name, const char* skinName, const QRect& rect) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setProperty("skin", QString::fromLatin1(skinName));
  frame->setGeometry(rect);
  return frame;
}

QLabel* WidgetFactory::Label(QWidget* parent, const QString& name, const QString& text, const QRect& rect,
                             Qt::Alignment align, const char* skinName, int pixelSize) {
  auto* label = new CaptionLabel(text, parent);
  label->setObjectName(name);
  label->setProperty("skin", QString::fromLatin1(skinName));
  label->setFont(skin::UiFont(pixelSize));
  label->setAlignment(align);
  label->setGeometry(rect);
  return label;
}

SkinSlider* WidgetFactory::Slider(QWidget* parent, const QString& name, Qt::Orientation orientation, int max,
                                  const QRect& rect) {
  auto* slider = new SkinSlider(orientation, parent);
  slider->setObjectName(name);
  slider->setRange(0, max);
  slider->setPageStep(1);
  slider->setGeometry(rect);
  return slider;
}

ValuePane* WidgetFactory::Pane(QWidget* parent, const QString& name, int role, const QRect& rect) {
  auto* pane = new ValuePane(parent);
  pane->setObjectName(name);
  pane->setFont(skin::UiFont(11));
  SetHint(pane, QString::number(role));
  pane->setText(role == 0 ? QStringLiteral("0") : QString::fromStdString(RoleText(role, 0)));
  pane->setGeometry(rect);
  return pane;
}

QLineEdit* WidgetFactory::Edit(QWidget* parent, const QString& name, const QString& hint, const QRect& rect) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setFont(skin::UiFont(11));
  edit->setAlignment(Qt::AlignCenter);
  if (!hint.isEmpty()) SetHint(edit, hint);
  edit->setGeometry(rect);
  return edit;
}

QLineEdit* WidgetFactory::PasswordEdit(QWidget* parent, const QString& name, int maxLength, bool bullets,
                                       const QRect& rect) {
  QLineEdit* edit = Edit(parent, name, QString(), rect);
  edit->setMaxLength(maxLength);
  if (bullets) edit->setEchoMode(QLineEdit::Password);
  edit->setAccessibleDescription(
      QCoreApplication::translate("WidgetFactory", "密码，最多 %1 位，输入后按回车").arg(maxLength));
  return edit;
}

QComboBox* WidgetFactory::Choice(QWidget* parent, const QString& name, const QStringList& items,
                                 const QRect& rect) {
  auto* box = new ChoiceBox(parent);
  box->setObjectName(name);
  box->setFont(skin::UiFont(11));
  box->addItems(items);
  box->setGeometry(rect);
  return box;
}

PictureButton* WidgetFactory::Button(QWidget* parent, const QString& name, skin::ButtonStyle style,
                                     const QString& caption, const QRect& rect) {
  auto* button = new PictureButton(parent);
  button->setObjectName(name);
  button->setPictures(skin::ButtonPictures(style, rect.size()));
  button->setText(caption);
  const bool tab = style == skin::ButtonStyle::Tab;
  button->setFont(tab ? skin::CaptionFont(11)
                      : skin::UiFont(style == skin::ButtonStyle::Sign ? 12 : 12, true));
  button->setCaptionColour(tab ? QColor(0, 0, 0) : QColor(255, 255, 255));
  button->setGeometry(rect);
  return button;
}

SpinButtons* WidgetFactory::Spin(QWidget* parent, const QString& name, Qt::Orientation orientation,
                                 const QRect& rect) {
  auto* spin = new SpinButtons(orientation, parent);
  spin->setObjectName(name);
  spin->setGeometry(rect);
  return spin;
}

ClickPicture* WidgetFactory::Picture(QWidget* parent, const QString& name, const QPixmap& pixmap,
                                     const QRect& rect) {
  auto* picture = new ClickPicture(parent);
  picture->setObjectName(name);
  picture->setPixmap(pixmap);
  picture->setGeometry(rect);
  return picture;
}

}  // namespace dsp
