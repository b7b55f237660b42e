#include "editing/page_switcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

#include "editing/common_band_panel.h"
#include "panels/button_visual.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/skin.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

PageSwitcher::PageSwitcher(ControlRegistry& registry, ParamStore& store, EditState& editing,
                           ButtonVisual& visual, CommonBandPanel& bandPanel, const PageWidgets& widgets)
    : registry_(registry),
      store_(store),
      editing_(editing),
      visual_(visual),
      bandPanel_(bandPanel),
      widgets_(widgets) {}

void PageSwitcher::SetEqLabelColour(const QColor& colour) {
  eqLabelColour_ = colour;
  if (widgets_.eqLabel != nullptr) {
    widgets_.eqLabel->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour.name()));
  }
}

void PageSwitcher::ShowBypassState(int channel) {
  PictureButton* bypass = widgets_.bypassButton;
  if (bypass == nullptr) return;
  const int address = MakeAddress(channel, EqBase[channel] - 1);
  SetTag(bypass, address);
  // Prepare the opposite state so the two-state operation lands on the stored one.
  SetHint(bypass, store_.Param(address) != 0 ? QStringLiteral("0") : QStringLiteral("1"));
  const int state = visual_.Apply(bypass, ButtonVisual::kTwoState);
  eqPassFlags_[channel] = state;
  if (widgets_.eqPassLabel != nullptr) widgets_.eqPassLabel->setVisible(state != 0);
}

void PageSwitcher::ShowPageBand() {
  const int page = CurrentPageIndex();
  const int channel = CurrentChannel();
  if (page >= kEqGroups || !HasEqualiser(channel)) return;
  const int band = editing_.CurrentBand[static_cast<std::size_t>(page)];
  QWidget* freq = registry_.PrimaryControl(MakeAddress(channel, EqSlot(channel, band, 1)));
  if (auto* field = qobject_cast<QLineEdit*>(freq); field != nullptr && !registry_.IsFiller(field)) {
    editing_.CurrentEdit = field;
  }
  bandPanel_.ShowPageBand(page, channel);
}

void PageSwitcher::FormTabBtn1Click(PictureButton* tab) {
  if (tab == nullptr) return;
  const int result = visual_.Apply(tab, ButtonVisual::kPageTab);
  if (result < 0) return;
  currentPage_ = result;
  const int page = CurrentPageIndex();
  const int channel = CurrentChannel();
  const bool eqPage = page <= 6;

  // The system page has no equaliser: the bypass button, the graph and the
  // current band stay as they were (they are hidden there).
  if (eqPage) ShowBypassState(channel);

  if (store_.MicGroupB == 1 && page == 1) {
    curveColour_ = skin::CurveColour(1, true);
    SetEqLabelColour(QColor(255, 102, 0));
  } else {
    curveColour_ = skin::CurveColour(channel);
    SetEqLabelColour(QColor(199, 255, 255));
  }

  if (eqPage) {
    const int band = editing_.CurrentBand[page];
    if (DrawEq) {
      DrawEq(kAllBands, channel);
      DrawEq(band, channel);
    }
    ShowPageBand();
  }

  if (widgets_.autoSingGroup != nullptr)
    widgets_.autoSingGroup->setVisible(page == 0 || (page >= 3 && page <= 6));
  if (widgets_.commonBandPanel != nullptr) widgets_.commonBandPanel->setVisible(eqPage);
  if (widgets_.graphPanel != nullptr) widgets_.graphPanel->setVisible(eqPage);
  if (widgets_.pages != nullptr) widgets_.pages->setCurrentIndex(page);
}

}  // namespace dsp
