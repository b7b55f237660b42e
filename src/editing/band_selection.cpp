// Band selection and the EQ buttons: which band of a group is current (its
// number label lit, its field framed, the microphone strip scrolled to it),
// the EQ bypass and the EQ reset.

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "catalogue/catalogue.h"
#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "editing/param_writer.h"
#include "editing/store_refresh.h"
#include "panels/button_visual.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/skin.h"
#include "panels/ui_text.h"
#include "panels/widget_props.h"
#include "store/eq_defaults.h"
#include "store/param_store.h"

namespace dsp {

namespace {

const QColor kSelectedLabel(82, 171, 225);
const QColor kCurrentFrame(68, 134, 255);
const QColor kPreviousFrame(128, 128, 128);
// The frame colour a band field was given last (read by tests and styles).
constexpr const char* kFrameColourProperty = "dspFrameColour";
// Bands the microphone strip shows at once.
constexpr int kMicVisibleBands = 10;

}  // namespace

int EditPipeline::SelectBand(QWidget* widget, int group) {
  if (editing_.PanelRefreshing || !IsBandField(widget)) return 0;
  if (group < 0 || group >= kEqGroups) return 0;
  const int band = EqPosition(Tag(widget)) / 256;
  editing_.CurrentBand[static_cast<std::size_t>(group)] = band;
  if (editing_.CurrentEdit != editing_.PreviousEdit) {
    for (int i = 0; i < registry_.BandLabelCount(group); ++i) {
      QLabel* label = registry_.BandNumberLabel(group, i);
      if (label == nullptr) continue;
      label->setStyleSheet(i == band
                               ? QStringLiteral("QLabel { background-color: %1; }").arg(kSelectedLabel.name())
                               : QStringLiteral("QLabel { background: transparent; }"));
    }
    if (editing_.CurrentEdit != nullptr) {
      SetFrameColour(registry_.PrimaryControl(Tag(editing_.CurrentEdit)), kCurrentFrame);
    }
    if (editing_.PreviousEdit != nullptr) {
      SetFrameColour(registry_.PrimaryControl(Tag(editing_.PreviousEdit)), kPreviousFrame);
    }
    editing_.PreviousEdit = editing_.CurrentEdit;
  }
  if (CurrentPageIndex() == 1) {
    if (auto* bar = qobject_cast<QScrollBar*>(registry_.Named(QStringLiteral("MicPanScrollBar")))) {
      const int p = bar->value();
      // Bands p .. p + 9 are in view; the one just past them scrolls too.
      if (band >= p + kMicVisibleBands) {
        bar->setValue(band - (kMicVisibleBands - 1));
      } else if (band < p) {
        bar->setValue(band);
      }
    }
  }
  return band;
}

void EditPipeline::SetFrameColour(QWidget* field, const QColor& colour) {
  if (KindOf(field) != WidgetKind::TextField) return;
  field->setProperty(kFrameColourProperty, colour);
  // The focus ring still shows on a field with a frame colour of its own.
  field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; } QLineEdit:focus { border-color: %2; }")
                           .arg(colour.name(), skin::kFocusRing.name()));
}

bool EditPipeline::EqButtonsLocked() const {
  return CurrentPageIndex() == 0 && store_.Param(0x000) == 0;
}

void EditPipeline::MusEQAllpassBtnClick(PictureButton* button) {
  if (EqButtonsLocked()) return;
  EditSession::Gesture gesture(editor_.Session());
  const int tag = Tag(button);
  const int state = editor_.Visual().Apply(button, ButtonVisual::kTwoState);
  const int channel = ChannelOf(tag);
  if (channel >= 0 && channel < static_cast<int>(editor_.Pages().EqPassFlags().size())) {
    editor_.Pages().EqPassFlags()[static_cast<std::size_t>(channel)] = state;
  }
  writer_->WriteParam(tag, state);
  if (QWidget* label = registry_.Named(QStringLiteral("EQPassLabel"))) label->setVisible(state != 0);
}

void EditPipeline::EQResetBtnClick() {
  if (EqButtonsLocked()) return;
  int channel = CurrentChannel();
  if (channel == 1 && store_.MicGroupB != 0) channel = 2;
  if (!HasEqualiser(channel)) return;
  EditSession::Gesture gesture(
      editor_.Session(),
      tr("EQ重置 %1").arg(CatalogueText(PageTitle(PageOfChannel(channel)))));
  ResetEq(channel);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
}

void EditPipeline::ResetEq(int which) {
  ResetEqStores(store_, which, [this](int address, int value) { writer_->WriteEqBand(address, value); });
  editor_.Refresher().RefreshFromStore(which);
}

}  // namespace dsp
