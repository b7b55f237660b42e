#include "editing/store_refresh.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QThread>
#include <algorithm>

#include "catalogue/catalogue.h"
#include "editing/common_band_panel.h"
#include "editing/edit_pipeline.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "editing/param_writer.h"
#include "panels/picture_button.h"
#include "panels/widget_props.h"
#include "presets/device_modes.h"
#include "store/param_store.h"

namespace dsp {

namespace {

// Every radio member of the layout is a 13-pixel square picture button and
// every sign button a 15-pixel square one.
constexpr QSize kRadioSize(13, 13);
constexpr QSize kSignSize(15, 15);

}  // namespace

void RebuildModeList(QComboBox* box, const ParamStore& store, int slot) {
  if (box == nullptr) return;
  const QSignalBlocker block(box);
  box->clear();
  for (int n = 1; n <= kModeCount; ++n) {
    box->addItem(QString::fromStdString(ModeEntryText(n - 1, store.ModeNames[n - 1])));
  }
  box->setCurrentIndex(slot >= 0 && slot < box->count() ? slot : -1);
}

void StoreRefresh::PauseAfterSlider() {
  if (SliderPauseMs <= 0) return;
  QElapsedTimer elapsed;
  elapsed.start();
  // Paint what changed so far. Only paint requests are delivered: no timer
  // or port notification runs inside the refresh, so its order holds.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  const qint64 rest = SliderPauseMs - elapsed.elapsed();
  if (rest > 0) QThread::msleep(static_cast<unsigned long>(rest));
}

void StoreRefresh::ShowSlot(int address) {
  ControlRegistry& registry = editor_.Registry();
  ParamStore& store = editor_.Store();
  EditPipeline& pipeline = editor_.Pipeline();
  QWidget* w = registry.PrimaryControl(address);
  if (w == nullptr || registry.IsFiller(w)) return;
  const int v = store.Param(address);
  switch (KindOf(w)) {
    case WidgetKind::Slider:
      // The slider's own change reaction updates its pane (only when the
      // position changes) and stores; nothing is sent.
      static_cast<QSlider*>(w)->setValue(v);
      PauseAfterSlider();
      return;
    case WidgetKind::PictureButton: {
      auto* button = static_cast<PictureButton*>(w);
      if (address == 0x000) return;  // the operating mode follows after the walk
      if (address == 0x001) {
        editor_.Visual().Apply(
            registry.Named(v == 0 ? QStringLiteral("SingModeBtn") : QStringLiteral("DiscoModeBtn")),
            ButtonVisual::kSingDance);
        return;
      }
      if (button->size() == kRadioSize) {
        SetHint(button, QString::number(v));
        pipeline.SysMusInputLevelClick(button);
        return;
      }
      // Prepare the opposite state; the click reaction toggles it back.
      SetHint(button, v == 0 ? QStringLiteral("1") : QStringLiteral("0"));
      if (button->size() == kSignSize) {
        pipeline.EchoEffPhaseBtnClick(button);
      } else if (button->text() != QLatin1String("EQ pass")) {
        pipeline.MainLmuteBtnClick(button);
      }
      return;
    }
    case WidgetKind::ChoiceBox: {
      auto* box = static_cast<QComboBox*>(w);
      {
        // A value beyond the items selects the nearest item.
        const QSignalBlocker block(box);
        box->setCurrentIndex(std::clamp(v % 10, 0, std::max(0, box->count() - 1)));
      }
      if (KindOf(registry.ExtraControls(address, 0)) == WidgetKind::Picture) pipeline.MusModeBox1Change(box);
      return;
    }
    case WidgetKind::TextField:
      pipeline.ApplyValue(w, kStepSet, true, v);
      return;
    default:
      return;
  }
}

void StoreRefresh::RefreshFromStore(int which) {
  ControlRegistry& registry = editor_.Registry();
  ParamStore& store = editor_.Store();
  EditState& editing = editor_.Editing();
  ParamWriter& writer = editor_.Pipeline().Writer();
  editing.PanelRefreshing = true;
  writer.SetSuppressSend(1);
  store.RebuildParamTable(store.Scene());
  store.SceneFlag = store.Param(0x001);
  if (which == 2) which = 1;
  for (int channel = 0; channel <= 9; ++channel) {
    if (channel != which && which != 20) continue;
    for (int slot = 0; slot < BlockLength[channel]; ++slot) ShowSlot(MakeAddress(channel, slot));
  }
  // The operating mode, as if its button had been clicked.
  if (auto* mode = qobject_cast<PictureButton*>(registry.Named(
          store.Param(0x000) == 0 ? QStringLiteral("AutoModeBtn") : QStringLiteral("ManulModeBtn")))) {
    editor_.Pipeline().AutoModeBtnClick(mode);
  }
  const int channel = editor_.Pages().CurrentChannel();
  if (HasEqualiser(channel)) editor_.Pages().ShowBypassState(channel);

  if (QWidget* rights = registry.Named(QStringLiteral("SysUserMangerGrop"))) rights->setEnabled(false);
  const bool manager = store.Param(0x90C) != 0;
  if (QWidget* gain = registry.Named(QStringLiteral("SignRzGroup"))) gain->setEnabled(manager);
  if (QWidget* save = registry.Named(QStringLiteral("RzBmpButton138"))) save->setEnabled(manager);

  const int mode = store.Device(9, DeviceIndex(9, 2, store.Scene()));
  RebuildModeList(qobject_cast<QComboBox*>(registry.Named(QStringLiteral("SysModeBox"))), store, mode);
  if (auto* name = qobject_cast<QLineEdit*>(registry.Named(QStringLiteral("PresetModeEdit")))) {
    name->setText(mode >= 0 && mode < kModeCount ? QString::fromStdString(store.ModeNames[mode]) : QString());
  }
  // The common band panel and the graph's value label show the current band
  // of the page shown, with the values just refreshed, and that band's
  // field is the one input acts on (and the one committed when a field is
  // left), not the last one the walk displayed.
  const int page = editor_.Pages().CurrentPageIndex();
  editor_.Pages().ShowPageBand();
  editing.PanelRefreshing = false;
  if (editor_.Pages().DrawEq) {
    editor_.Pages().DrawEq(kAllBands, channel);
    if (page < kEqGroups)
      editor_.Pages().DrawEq(editing.CurrentBand[static_cast<std::size_t>(page)], channel);
  }
  writer.SetSuppressSend(0);
  if (auto* label = qobject_cast<QLabel*>(registry.Named(QStringLiteral("CurrentModeLabel")))) {
    label->setText(tr("（当前模式：%1 ）").arg(mode + 1));
  }
  if (ShowLockPrompt) ShowLockPrompt();
}

int StoreRefresh::ShowCurrentBand(int address) {
  return editor_.BandPanel().ShowCurrentBand(address);
}

}  // namespace dsp
