#pragma once
// Look-and-state operations of the picture buttons, selected by an
// operation code. A button's state lives in its hint text and its pictures;
// lit and unlit looks are made by copying pictures.

#include <functional>

#include "panels/picture_button.h"

namespace dsp {

class ControlRegistry;

class ButtonVisual {
 public:
  explicit ButtonVisual(ControlRegistry& registry) : registry_(registry) {}

  // Operation codes handled here. Codes 0..6 are the band selection of the
  // EQ group with that index; it is done by the edit pipeline through
  // `SelectBand` below.
  static constexpr int kFirstBandGroup = 0;
  static constexpr int kLastBandGroup = 6;
  static constexpr int kPageTab = 10;
  static constexpr int kTwoState = 11;
  static constexpr int kSign = 14;
  static constexpr int kAutoManual = 16;
  static constexpr int kSingDance = 17;
  static constexpr int kMicGroup = 19;
  static constexpr int kRadio = 18;
  static constexpr int kLinkPair = 20;
  static constexpr int kBandType = 21;

  // Runs operation `code` on `widget` and returns its result; -1 when the
  // code is not handled or the widget is of the wrong kind.
  int Apply(QWidget* widget, int code);

  // The band selection behind codes 0..6: a band text field and its EQ group
  // in, the selected band out. Set by the edit pipeline.
  std::function<int(QWidget* field, int group)> SelectBand;

  // Picture copy primitive: to.toWhich = from.fromWhich.
  static void CopyPicture(PictureButton* to, PictureButton::Picture toWhich, const PictureButton* from,
                          PictureButton::Picture fromWhich);

 private:
  int PageTab(PictureButton* tab);
  static int TwoState(PictureButton* button);
  static int Sign(PictureButton* button);
  int Radio(PictureButton* pressed);
  int BandType(QWidget* picture);
  // A pair of which exactly one is lit; the other shows `unlit`.
  int Pair(PictureButton* pressed, const char* first, const char* second, PictureButton::Picture unlit);

  ControlRegistry& registry_;
};

}  // namespace dsp
