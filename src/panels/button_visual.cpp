#include "panels/button_visual.h"

#include <QLabel>

#include "catalogue/catalogue.h"
#include "panels/control_registry.h"
#include "panels/widget_props.h"

namespace dsp {

void ButtonVisual::CopyPicture(PictureButton* to, PictureButton::Picture toWhich, const PictureButton* from,
                               PictureButton::Picture fromWhich) {
  if (to == nullptr || from == nullptr) return;
  to->setPicture(toWhich, from->picture(fromWhich));
}

int ButtonVisual::Apply(QWidget* widget, int code) {
  if (code == kBandType) return BandType(widget);
  if (code >= kFirstBandGroup && code <= kLastBandGroup) return SelectBand ? SelectBand(widget, code) : -1;
  auto* button = qobject_cast<PictureButton*>(widget);
  if (button == nullptr) return -1;
  switch (code) {
    case kPageTab:
      return PageTab(button);
    case kTwoState:
      return TwoState(button);
    case kSign:
      return Sign(button);
    case kRadio:
      return Radio(button);
    case kAutoManual:
      return Pair(button, "AutoModeBtn", "ManulModeBtn", PictureButton::Disabled);
    case kSingDance:
      return Pair(button, "SingModeBtn", "DiscoModeBtn", PictureButton::StayDown);
    case kMicGroup:
      return Pair(button, "MicABtn", "MicBBtn", PictureButton::Disabled);
    case kLinkPair:
      return Pair(button, "LinkBtn", "UnLinkBtn", PictureButton::Disabled);
    default:
      return -1;
  }
}

int ButtonVisual::PageTab(PictureButton* pressed) {
  auto* example = qobject_cast<PictureButton*>(registry_.Named("ExampleBtn"));
  const int page = Tag(pressed);
  for (PictureButton* tab : registry_.PageTabs()) {
    if (tab == nullptr) continue;
    const bool chosen = Tag(tab) == page;
    CopyPicture(tab, PictureButton::Normal, example, chosen ? PictureButton::Pressed : PictureButton::Normal);
    CopyPicture(tab, PictureButton::Pressed, example, PictureButton::Pressed);
    tab->setCaptionColour(chosen ? QColor(255, 255, 255) : QColor(0, 0, 0));
  }
  return PageChannel(page) * 256 + page;
}

int ButtonVisual::TwoState(PictureButton* button) {
  if (Hint(button) == QLatin1String("1")) {
    SetHint(button, QStringLiteral("0"));
    button->setPicture(PictureButton::Normal, button->picture(PictureButton::Disabled));
    return 0;
  }
  SetHint(button, QStringLiteral("1"));
  button->setPicture(PictureButton::Normal, button->picture(PictureButton::Pressed));
  return 1;
}

int ButtonVisual::Sign(PictureButton* button) {
  if (Hint(button) == QLatin1String("1")) {
    SetHint(button, QStringLiteral("0"));
    button->setText(QStringLiteral("-"));
    return 0;
  }
  SetHint(button, QStringLiteral("1"));
  button->setText(QStringLiteral("+"));
  return 1;
}

int ButtonVisual::Radio(PictureButton* pressed) {
  auto* example = qobject_cast<PictureButton*>(registry_.Named("ExampleBtn"));
  auto* input = qobject_cast<PictureButton*>(registry_.Named("SysInput"));
  const int tag = Tag(pressed);
  const int count = tag == 0x903 ? 3 : (tag == 0x101 ? 4 : 2);
  const QString chosen = Hint(pressed);
  for (int i = 0; i < count; ++i) {
    PictureButton* member = registry_.RadioMembers()[i];
    if (member == nullptr) continue;
    CopyPicture(member, PictureButton::Pressed, input, PictureButton::Pressed);
    if (QString::number(i) == chosen) {
      member->setPicture(PictureButton::Normal, member->picture(PictureButton::Pressed));
      // Every group, the music input port's too, keeps its chosen member
      // lit while disabled (the pages are disabled under the lock prompt).
      CopyPicture(member, PictureButton::Disabled, example, PictureButton::StayDown);
    } else {
      CopyPicture(member, PictureButton::Normal, example, PictureButton::Disabled);
      CopyPicture(member, PictureButton::Disabled, example, PictureButton::Hot);
    }
  }
  return chosen.toInt();
}

int ButtonVisual::BandType(QWidget* picture) {
  if (KindOf(picture) != WidgetKind::Picture) return -1;
  static const char* const kLit[] = {"PEQ_ONImage", "LSQ_ONImage", "HSQ_ONImage"};
  static const char* const kUnlit[] = {"PEQ_OFFImage", "LSQ_OFFImage", "HSQ_OFFImage"};
  const int chosen = HintInt(picture, 0);
  for (int i = 0; i < 3; ++i) {
    auto* target = qobject_cast<QLabel*>(registry_.ExtraControls(Tag(picture), i));
    auto* source =
        qobject_cast<QLabel*>(registry_.Named(QString::fromLatin1(i == chosen ? kLit[i] : kUnlit[i])));
    if (target != nullptr && source != nullptr) target->setPixmap(source->pixmap());
  }
  return chosen;
}

int ButtonVisual::Pair(PictureButton* pressed, const char* first, const char* second,
                       PictureButton::Picture unlit) {
  auto* a = qobject_cast<PictureButton*>(registry_.Named(QString::fromLatin1(first)));
  auto* b = qobject_cast<PictureButton*>(registry_.Named(QString::fromLatin1(second)));
  if (a == nullptr || b == nullptr || (pressed != a && pressed != b)) return -1;
  const bool firstChosen = pressed == a;
  a->setPicture(PictureButton::Normal, a->picture(firstChosen ? PictureButton::Pressed : unlit));
  b->setPicture(PictureButton::Normal, b->picture(firstChosen ? unlit : PictureButton::Pressed));
  return firstChosen ? 0 : 1;
}

}  // namespace dsp
