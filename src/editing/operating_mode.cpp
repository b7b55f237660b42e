// Automatic and manual operation (what automatic mode locks), sing and
// dance, and the volume rules of the nine volume sliders.

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <iterator>

#include "editing/common_band_panel.h"
#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "editing/param_writer.h"
#include "editing/store_refresh.h"
#include "editmodel/param_cells.h"
#include "panels/button_visual.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// Slots of the three volume trios of the system channel: current, start, maximum.
constexpr int kVolumeTrios[3][3] = {{32, 6, 7}, {33, 8, 9}, {34, 10, 11}};

}  // namespace

void EditPipeline::AutoModeBtnClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int value = editor_.Visual().Apply(button, ButtonVisual::kAutoManual);
  if (value < 0) return;
  writer_->WriteParam(0x000, value);
  ApplyOperatingMode(value);
}

void EditPipeline::ApplyOperatingMode(int value) {
  const bool enable = value != 0;
  if (QWidget* music = registry_.Named(QStringLiteral("MusScrollBox"))) music->setEnabled(enable);
  for (int channel : {5, 6, 7, 8}) {
    for (int slot = 0; LockedInAutomaticMode(channel, slot); ++slot) {
      const int address = MakeAddress(channel, slot);
      for (QWidget* w : {registry_.PrimaryControl(address), registry_.CompanionControl(address),
                         registry_.StepperControl(address)}) {
        if (w == nullptr || registry_.IsFiller(w) || KindOf(w) == WidgetKind::ValuePane) continue;
        w->setEnabled(enable);
      }
    }
  }
  for (const char* name : {"SingModeBtn", "DiscoModeBtn"}) {
    if (QWidget* b = registry_.Named(QString::fromLatin1(name))) b->setEnabled(enable);
  }
  // The user-Q sliders follow their filter types in either mode.
  const int before = writer_->SuppressSend();
  writer_->SetSuppressSend(1);
  for (const char* name : {"SubMusHPType", "SubMusLPType"}) {
    if (auto* box = qobject_cast<QComboBox*>(registry_.Named(QString::fromLatin1(name))))
      SubMusHPTypeChange(box);
  }
  writer_->SetSuppressSend(before);
  // The common band panel is locked with the band it shows.
  editor_.BandPanel().ShowAgain();
}

void EditPipeline::SingModeBtnClick(PictureButton* button) {
  EditSession::Gesture gesture(editor_.Session());
  const int value = editor_.Visual().Apply(button, ButtonVisual::kSingDance);
  if (value < 0) return;
  writer_->WriteParam(0x001, value);
  store_.SceneFlag = value;
  editor_.Refresher().RefreshFromStore(20);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
}

void EditPipeline::SysMusStartVolBarChange(QSlider* slider) {
  EditSession::Gesture gesture(editor_.Session());
  const int tag = Tag(slider);
  const int slot = SlotOf(tag);
  const int role = std::clamp(HintInt(slider, 0), 0, 2);
  const int* trio = nullptr;
  for (const auto& t : kVolumeTrios) {
    if (std::find(std::begin(t), std::end(t), slot) != std::end(t)) trio = t;
  }
  auto* pane = qobject_cast<QLabel*>(registry_.CompanionControl(tag));
  const int last = lastVolume_.value(pane, 0);
  const bool refreshing = writer_->SuppressSend() != 0;
  // The current volume rises by at most one step per change.
  if (role == 0 && slider->value() > last && !refreshing) slider->setValue(last + 1);
  if (trio != nullptr && !refreshing) {
    auto bar = [this](int s) { return qobject_cast<QSlider*>(registry_.PrimaryControl(MakeAddress(9, s))); };
    QSlider* current = bar(trio[0]);
    QSlider* start = bar(trio[1]);
    QSlider* maximum = bar(trio[2]);
    if (current != nullptr && start != nullptr && maximum != nullptr) {
      if (role == 0 && current->value() > maximum->value()) current->setValue(maximum->value());
      if (role >= 1 && start->value() > maximum->value()) start->setValue(maximum->value());
      if (role == 2 && current->value() > maximum->value()) current->setValue(maximum->value());
    }
  }
  const int position = slider->value();
  if (pane != nullptr) {
    pane->setText(QString::number(position));
    lastVolume_.insert(pane, position);
  }
  writer_->WriteParam(tag, position);
}

}  // namespace dsp
