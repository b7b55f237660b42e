// The reactions of the parameter sliders, the band gain sliders, the band
// type choices and pictures, the subwoofer filter choices and the picture
// buttons (signs, two-state buttons, radio groups, microphone group A/B).

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "catalogue/catalogue.h"
#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "editing/param_writer.h"
#include "editing/store_refresh.h"
#include "panels/button_visual.h"
#include "panels/control_names.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/skin.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

void EditPipeline::MicHPFreBarChange(QSlider* slider) {
  if (editing_.SliderSync) return;
  EditSession::Gesture gesture(editor_.Session());
  QWidget* pane = registry_.CompanionControl(Tag(slider));
  if (KindOf(pane) == WidgetKind::ValuePane) ApplyValue(pane, kStepSet, false, slider->value());
  // A parameter slider ends keyboard and wheel stepping until a field is chosen.
  editing_.CurrentEdit = registry_.Filler();
}

void EditPipeline::MusEQGainBar1Change(QSlider* slider) {
  if (editing_.SliderSync) return;
  EditSession::Gesture gesture(editor_.Session());
  auto* field = qobject_cast<QLineEdit*>(registry_.PrimaryControl(Tag(slider)));
  if (field == nullptr || registry_.IsFiller(field)) return;
  editing_.CurrentEdit = field;
  ApplyValue(field, kStepSet, false, slider->value());
}

void EditPipeline::MusModeBox1Change(QComboBox* box) {
  EditSession::Gesture gesture(editor_.Session());
  const int tag = Tag(box);
  const int k = std::clamp(box->currentIndex(), 0, 2);
  editor_.Visual().Apply(registry_.ExtraControls(tag, k), ButtonVisual::kBandType);
  if (writer_->SuppressSend() == 1) return;
  writer_->WriteEqBand(tag, k);
  const int qSlot = k == 0 ? tag + 3 : tag + 4;
  if (auto* q = qobject_cast<QLineEdit*>(registry_.PrimaryControl(qSlot));
      q != nullptr && !registry_.IsFiller(q)) {
    editing_.CurrentEdit = q;
    ApplyValue(q, kStepSet, true, store_.Param(qSlot));
  }
  editing_.RecordChange(tag, k);
}

void EditPipeline::MusPEQBtn1Click(QWidget* picture) {
  const int k = HintInt(picture, 0);
  auto* box = qobject_cast<QComboBox*>(registry_.PrimaryControl(Tag(picture)));
  if (box == nullptr) return;
  {
    const QSignalBlocker block(box);
    box->setCurrentIndex(std::clamp(k, 0, box->count() - 1));
  }
  MusModeBox1Change(box);
}

void EditPipeline::SubMusHPTypeChange(QComboBox* box) {
  EditSession::Gesture gesture(editor_.Session());
  const int tag = Tag(box);
  const int item = box->currentIndex();
  writer_->WriteParam(tag, item);
  const bool high = box->objectName() == QLatin1String("SubMusHPType");
  const bool low = box->objectName() == QLatin1String("SubMusLPType");
  if (!high && !low) return;
  if (QWidget* userQ =
          registry_.Named(high ? QStringLiteral("SubMusHPuserQBar") : QStringLiteral("SubMusLPuserQBar"))) {
    userQ->setEnabled(item >= 3);
  }
  if (CurrentPageIndex() == 5) DrawEq(high ? 3 : 4, 6);
}

void EditPipeline::EchoEffPhaseBtnClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int state = editor_.Visual().Apply(button, ButtonVisual::kSign);
  writer_->WriteParam(Tag(button), state);
}

void EditPipeline::MainLmuteBtnClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int state = editor_.Visual().Apply(button, ButtonVisual::kTwoState);
  writer_->WriteParam(Tag(button), state);
}

void EditPipeline::FillRadioMembers(int tag) {
  auto& members = registry_.RadioMembers();
  for (const ParamEntry& entry : Catalogue()) {
    if (MakeAddress(entry.channel, entry.slot) != tag || entry.members.empty()) continue;
    if (entry.kind != ParamKind::Radio && entry.kind != ParamKind::Choice) continue;
    members = {};
    for (std::size_t i = 0; i < entry.members.size() && i < members.size(); ++i) {
      auto* member = qobject_cast<PictureButton*>(registry_.Named(QString::fromStdString(entry.members[i])));
      members[i] = member;
      SetHint(member, QString::number(i));
    }
    return;
  }
}

void EditPipeline::SysMusInputLevelClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int tag = Tag(button);
  int k = HintInt(button, 0);
  FillRadioMembers(tag);
  if (tag == 0x90C) {
    if (QWidget* group = registry_.Named(QStringLiteral("SysUserMangerGrop"))) group->setEnabled(false);
  }
  // A stored value beyond the group lights the nearest member.
  auto& members = registry_.RadioMembers();
  int count = 0;
  while (count < kRadioCapacity && members[static_cast<std::size_t>(count)] != nullptr) ++count;
  if (count > 0) {
    k = std::clamp(k, 0, count - 1);
    editor_.Visual().Apply(members[static_cast<std::size_t>(k)], ButtonVisual::kRadio);
  }
  writer_->WriteParam(tag, k);
  const bool manager = store_.Param(0x90C) != 0;
  if (QWidget* gain = registry_.Named(QStringLiteral("SignRzGroup"))) gain->setEnabled(manager);
  if (QWidget* save = registry_.Named(QStringLiteral("RzBmpButton138"))) save->setEnabled(manager);
  if (tag >= 0x500 && tag <= 0x8FF) DrawEq(kAllBands, CurrentChannel());
}

void EditPipeline::MicABtnClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int g = editor_.Visual().Apply(button, ButtonVisual::kMicGroup);
  if (g < 0) return;
  store_.MicGroupB = g;
  ControlNames::DescribeBoundControls(registry_, g == 1 ? 2 : 1, editor_.Session().Texts());
  PageSwitcher& pages = editor_.Pages();
  if (g == 1 && CurrentPageIndex() == 1) {
    pages.SetCurveColour(skin::CurveColour(1, true));
    pages.SetEqLabelColour(QColor(255, 102, 0));
  } else {
    pages.SetCurveColour(skin::CurveColour(1));
    pages.SetEqLabelColour(QColor(199, 255, 255));
  }
  editor_.Refresher().RefreshFromStore(1);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
}

}  // namespace dsp
