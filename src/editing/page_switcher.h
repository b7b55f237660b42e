#pragma once
// Page switching: which page is shown, the tab looks, the EQ bypass button
// of the page's channel, the curve colours, the band the common band panel
// shows and what is visible.

#include <QColor>
#include <array>
#include <functional>

#include "eq/band_slots.h"

class QLabel;
class QStackedWidget;
class QWidget;

namespace dsp {

class ButtonVisual;
class CommonBandPanel;
class ControlRegistry;
class ParamStore;
class PictureButton;
struct EditState;

// DrawEq's band argument for "all bands" (bands above it draw nothing).
constexpr int kAllBands = AllBands;

struct PageWidgets {
  QStackedWidget* pages = nullptr;        // FormPageItem
  QWidget* graphPanel = nullptr;          // AdvPanel1
  QWidget* commonBandPanel = nullptr;     // EQCotrolGrop
  QWidget* autoSingGroup = nullptr;       // the automatic/manual and sing/dance group
  PictureButton* bypassButton = nullptr;  // MusEQAllpassBtn
  QLabel* eqPassLabel = nullptr;          // EQPassLabel
  QLabel* eqLabel = nullptr;              // EQlabel
};

class PageSwitcher {
 public:
  PageSwitcher(ControlRegistry& registry, ParamStore& store, EditState& editing, ButtonVisual& visual,
               CommonBandPanel& bandPanel, const PageWidgets& widgets);

  // The reaction of the eight page tabs.
  void FormTabBtn1Click(PictureButton* tab);

  // Channel in the high byte, page index in the low byte.
  int CurrentPage() const { return currentPage_; }
  int CurrentPageIndex() const { return currentPage_ & 0xFF; }
  int CurrentChannel() const { return currentPage_ >> 8; }
  // The colour of the EQ response curve, with alpha.
  QColor CurveColour() const { return curveColour_; }
  void SetCurveColour(const QColor& colour) { curveColour_ = colour; }
  QColor EqLabelColour() const { return eqLabelColour_; }
  void SetEqLabelColour(const QColor& colour);
  // The EQ bypass state last shown per channel.
  std::array<int, 10>& EqPassFlags() { return eqPassFlags_; }

  // The current band of the page shown: its frequency field becomes the
  // field the keyboard, the wheel and the spin buttons act on, and the
  // common band panel shows the band. Pages without an equaliser change
  // nothing.
  void ShowPageBand();

  // Re-tags the EQ bypass button to the channel's bypass slot and shows
  // the stored state (button, flag, "EQ PASS" label).
  void ShowBypassState(int channel);

  // Redraws the graph (band or kAllBands, channel); set by the graph code.
  std::function<void(int band, int channel)> DrawEq;

 private:
  ControlRegistry& registry_;
  ParamStore& store_;
  EditState& editing_;
  ButtonVisual& visual_;
  CommonBandPanel& bandPanel_;
  PageWidgets widgets_;
  int currentPage_ = 0;
  // Fully transparent until the first page is shown.
  QColor curveColour_{0, 0, 0, 0};
  QColor eqLabelColour_{199, 255, 255};
  std::array<int, 10> eqPassFlags_{};
};

}  // namespace dsp
