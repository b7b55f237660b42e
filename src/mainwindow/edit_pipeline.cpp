#include "mainwindow/edit_pipeline.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "eq/scales.h"
#include "mainwindow/main_window.h"
#include "mainwindow/page_switcher.h"
#include "mainwindow/param_writer.h"
#include "mainwindow/store_refresh.h"
#include "panels/button_visual.h"
#include "panels/catalogue.h"
#include "panels/click_picture.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/spin_buttons.h"
#include "panels/widget_props.h"
#include "store/eq_defaults.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr const char* kFrameColourProperty = "dspFrameColour";
constexpr const char* kLastAppliedProperty = "dspLastApplied";

const QColor kSelectedLabel(82, 171, 225);
const QColor kCurrentFrame(68, 134, 255);
const QColor kPreviousFrame(128, 128, 128);

// Slots of the three volume trios of the system channel: current, start, maximum.
constexpr int kVolumeTrios[3][3] = {{32, 6, 7}, {33, 8, 9}, {34, 10, 11}};
// Bands the microphone strip shows at once.
constexpr int kMicVisibleBands = 10;

bool IsTypedKey(const QString& text) {
  if (text.size() != 1) return false;
  const QChar c = text.front();
  return c == QLatin1Char('-') || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

}  // namespace

EditPipeline::EditPipeline(MainWindow& window)
    : window_(window),
      registry_(window.Registry()),
      store_(window.Store()),
      editing_(window.Editing()),
      storeOnly_(std::make_unique<StoreOnlyWriter>(window.Store())),
      writer_(storeOnly_.get()) {
  window_.Visual().SelectBand = [this](QWidget* field, int group) { return SelectBand(field, group); };
  ShowMessage = [this](const QString& text) {
    QMessageBox::information(&window_, QStringLiteral("提示"), text, QMessageBox::Ok);
  };
}

EditPipeline::~EditPipeline() = default;

void EditPipeline::SetWriter(ParamWriter* writer) {
  writer_ = writer != nullptr ? writer : storeOnly_.get();
}

bool EditPipeline::IsBandField(const QWidget* widget) const {
  if (KindOf(widget) != WidgetKind::TextField || registry_.IsFiller(widget)) return false;
  return registry_.PrimaryControl(Tag(widget)) == widget;
}

int EditPipeline::CurrentPageIndex() const {
  return window_.Pages().CurrentPageIndex();
}

int EditPipeline::CurrentChannel() const {
  return window_.Pages().CurrentChannel();
}

void EditPipeline::DrawEq(int band, int channel) {
  // The graph draws through the page switcher's hook; until the graph exists
  // nothing is drawn.
  if (window_.Pages().DrawEq) window_.Pages().DrawEq(band, channel);
}

void EditPipeline::SetFrameColour(QWidget* field, const QColor& colour) {
  if (KindOf(field) != WidgetKind::TextField) return;
  field->setProperty(kFrameColourProperty, colour);
  field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; }").arg(colour.name()));
}

// ---------------------------------------------------------------- binding

void EditPipeline::Bind() {
  if (bound_) return;
  bound_ = true;
  QSet<QWidget*> done;
  auto once = [&done](QWidget* w) {
    if (w == nullptr || done.contains(w)) return false;
    done.insert(w);
    return true;
  };
  auto bindSpin = [this, &once](QWidget* w) {
    auto* spin = qobject_cast<SpinButtons*>(w);
    if (spin == nullptr || !once(spin)) return;
    connect(spin, &SpinButtons::upRightClick, this, [this, spin] { MusFreUpDownBtn1Click(spin, true); });
    connect(spin, &SpinButtons::downLeftClick, this, [this, spin] { MusFreUpDownBtn1Click(spin, false); });
  };
  auto bindField = [this, &once](QWidget* w) {
    if (KindOf(w) != WidgetKind::TextField || !once(w)) return;
    w->installEventFilter(this);
    fields_.insert(w);
  };

  for (int channel = 0; channel <= 9; ++channel) {
    for (int slot = 0; slot < BlockLength[channel] && slot < kRegistrySlots; ++slot) {
      const int address = MakeAddress(channel, slot);
      QWidget* primary = registry_.PrimaryControl(address);
      if (registry_.IsFiller(primary)) primary = nullptr;
      switch (KindOf(primary)) {
        case WidgetKind::Slider:
          if (once(primary)) {
            auto* slider = static_cast<QSlider*>(primary);
            if (channel == 9) {
              connect(slider, &QSlider::valueChanged, this,
                      [this, slider] { SysMusStartVolBarChange(slider); });
            } else {
              connect(slider, &QSlider::valueChanged, this, [this, slider] { MicHPFreBarChange(slider); });
            }
          }
          break;
        case WidgetKind::TextField:
          bindField(primary);
          break;
        case WidgetKind::ChoiceBox:
          if (once(primary)) {
            auto* box = static_cast<QComboBox*>(primary);
            if (KindOf(registry_.ExtraControls(address, 0)) == WidgetKind::Picture) {
              connect(box, &QComboBox::activated, this, [this, box] { MusModeBox1Change(box); });
            } else if (box->objectName() != QLatin1String("SysModeBox")) {
              connect(box, &QComboBox::activated, this, [this, box] { SubMusHPTypeChange(box); });
            }
          }
          break;
        default:
          break;
      }
      bindSpin(registry_.StepperControl(address));
      for (int i = 0; i < 3; ++i) {
        QWidget* extra = registry_.ExtraControls(address, i);
        if (auto* picture = qobject_cast<ClickPicture*>(extra); picture != nullptr && once(picture)) {
          connect(picture, &ClickPicture::clicked, this, [this, picture] { MusPEQBtn1Click(picture); });
        } else if (auto* slider = qobject_cast<QSlider*>(extra); slider != nullptr && once(slider)) {
          connect(slider, &QSlider::valueChanged, this, [this, slider] { MusEQGainBar1Change(slider); });
        }
      }
    }
  }

  // The common band panel: its sliders and spin buttons act on the band's
  // own fields through the tags the refresh gives them; its text fields
  // share the key reactions of the band fields.
  for (const char* name : {"ComEQFreBar", "ComEQGainBar", "ComEQQvalueBar"}) {
    if (auto* slider = qobject_cast<QSlider*>(registry_.Named(QString::fromLatin1(name))); once(slider)) {
      connect(slider, &QSlider::valueChanged, this, [this, slider] { MusEQGainBar1Change(slider); });
    }
  }
  for (const char* name : {"ComEQFreUpDownBtn", "ComEQGainUpDownBtn", "ComEQQvalueUpDownBtn"}) {
    bindSpin(registry_.Named(QString::fromLatin1(name)));
  }
  for (const char* name : {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit"}) {
    bindField(registry_.Named(QString::fromLatin1(name)));
  }

  // Picture buttons by their kind in the catalogue.
  auto button = [this](const std::string& name) {
    return qobject_cast<PictureButton*>(registry_.Named(QString::fromStdString(name)));
  };
  auto onClick = [this, &once](PictureButton* b, void (EditPipeline::*reaction)(PictureButton*)) {
    if (b == nullptr || !once(b)) return;
    connect(b, &QAbstractButton::clicked, this, [this, b, reaction] { (this->*reaction)(b); });
  };
  for (const ParamEntry& entry : Catalogue()) {
    switch (entry.kind) {
      case ParamKind::Sign:
        onClick(button(entry.primary), &EditPipeline::EchoEffPhaseBtnClick);
        break;
      case ParamKind::TwoState:
        onClick(button(entry.primary), entry.primary == "MusEQAllpassBtn"
                                           ? &EditPipeline::MusEQAllpassBtnClick
                                           : &EditPipeline::MainLmuteBtnClick);
        break;
      case ParamKind::Radio:
      case ParamKind::Choice:
        for (const std::string& member : entry.members) {
          onClick(button(member), &EditPipeline::SysMusInputLevelClick);
        }
        break;
      case ParamKind::Pair:
        for (const std::string& member : entry.members) {
          onClick(button(member),
                  entry.slot == 0 ? &EditPipeline::AutoModeBtnClick : &EditPipeline::SingModeBtnClick);
        }
        break;
      default:
        break;
    }
  }
  onClick(button("MicABtn"), &EditPipeline::MicABtnClick);
  onClick(button("MicBBtn"), &EditPipeline::MicABtnClick);
  if (auto* reset = button("EQResetBtn"); reset != nullptr && once(reset)) {
    connect(reset, &QAbstractButton::clicked, this, [this] { EQResetBtnClick(); });
  }

  // The common band panel's text fields share the key and focus reactions
  // of the band fields (their text is shown only: ApplyValue stops at them).
  for (const char* name : {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit"})
    bindField(registry_.Named(QString::fromLatin1(name)));

  // The wheel steps the current field wherever the pointer is over the window.
  wheel_ = std::make_unique<WheelFilter>(*this);
  qApp->installEventFilter(wheel_.get());
}

bool EditPipeline::WheelFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != &pipeline_.window_) return false;
  // A widget that steps its own value with the wheel gets the turn first.
  if (OwnsWheel(widget)) return false;
  return pipeline_.FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
}

bool EditPipeline::eventFilter(QObject* watched, QEvent* event) {
  // Installed on the band fields and the common band panel's fields only:
  // password, name and other text fields keep their ordinary behaviour.
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field == nullptr || !fields_.contains(field)) return false;
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) MusFreEdit1Click(field);
      return false;
    case QEvent::KeyPress: {
      const auto& key = static_cast<const QKeyEvent&>(*event);
      switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
          MusFreEdit1KeyDown(key.key());
          return true;
        default:
          return MusFreEdit1KeyPress(field, key);
      }
    }
    case QEvent::FocusOut:
      MusFreEdit1Exit();
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- pipeline

void EditPipeline::CommitEditText(int stepMode) {
  QLineEdit* field = editing_.CurrentEdit;
  if (field == nullptr || registry_.IsFiller(field)) return;
  QString kept;
  for (const QChar c : field->text()) {
    if (c == QLatin1Char('-') || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
      kept += c;
    }
  }
  if (kept.isEmpty()) {
    field->setText(editing_.LastGoodText);
    return;
  }
  bool ok = false;
  const double number = kept.toDouble(&ok);
  if (!ok) {
    field->setText(editing_.LastGoodText);
    return;
  }
  if (Hint(field).isEmpty()) {
    if (ShowMessage) ShowMessage(QStringLiteral("error"));
    field->setText(editing_.LastGoodText);
    return;
  }
  bool roleOk = false;
  const int role = Hint(field).trimmed().toInt(&roleOk);
  if (!roleOk) {
    field->setText(editing_.LastGoodText);
    return;
  }
  ApplyValue(field, stepMode, false, TextToStep(role, number));
  editing_.LastGoodText = field->text();
}

void EditPipeline::ApplyValue(QWidget* widget, int stepMode, bool displayOnly, double x) {
  int role = 0;
  switch (KindOf(widget)) {
    case WidgetKind::TextField:
      if (!IsBandField(widget)) return;
      role = HintInt(widget, 0);
      break;
    case WidgetKind::ValuePane:
      role = HintInt(widget, 0);
      if (role <= 5) return;
      break;
    case WidgetKind::ChoiceBox:
      if (Hint(widget).isEmpty()) return;
      role = HintInt(widget, 0);
      break;
    default:
      return;
  }
  const int address = store_.ActiveQSlot(Tag(widget));
  auto step = [stepMode, &x](int limit) {
    if (stepMode == kStepUp) x += 1;
    if (stepMode == kStepDown) x -= 1;
    x = std::clamp(x, 0.0, static_cast<double>(limit));
  };
  auto show = [widget](const std::string& text) {
    if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(QString::fromStdString(text));
    if (auto* pane = qobject_cast<QLabel*>(widget)) pane->setText(QString::fromStdString(text));
  };

  switch (role) {
    case role::BandType: {
      auto* box = static_cast<QComboBox*>(widget);
      const QSignalBlocker block(box);
      // A type beyond the items shows the nearest item.
      box->setCurrentIndex(std::clamp(static_cast<int>(x), 0, std::max(0, box->count() - 1)));
      break;
    }
    case role::BandFreq:
    case role::BandGain:
    case role::BandQ: {
      if (role == role::BandQ && displayOnly) {
        x = store_.Param(address);
      } else if (!displayOnly) {
        const int typeSlot = address - EqPosition(address) % 256;
        step(role == role::BandFreq
                 ? 361
                 : (role == role::BandGain ? 180 : RoleLimit(role, store_.Param(typeSlot) != 0)));
      }
      // The display never reads outside a table: StepText shows the nearest entry.
      show(RoleText(role, static_cast<int>(x)));
      if (role == role::BandFreq) {
        if (auto* field = qobject_cast<QLineEdit*>(registry_.PrimaryControl(address)))
          editing_.CurrentEdit = field;
      }
      SelectBand(widget, EqGroupOf(address));
      break;
    }
    default: {
      const int limit = RoleLimit(role);
      if (limit < 0) return;
      x = std::clamp(x, 0.0, static_cast<double>(limit));
      show(RoleText(role, static_cast<int>(x)));
      break;
    }
  }

  const int v = static_cast<int>(x);
  // Move the slider that shows the address without running its reaction.
  QSlider* slider = qobject_cast<QSlider*>(registry_.PrimaryControl(address));
  if (slider == nullptr) slider = qobject_cast<QSlider*>(registry_.ExtraControls(address, 0));
  if (slider != nullptr) {
    const bool before = editing_.SliderSync;
    editing_.SliderSync = true;
    slider->setValue(static_cast<int>(RoundHalfEven(x)));
    editing_.SliderSync = before;
  }
  if (role <= role::BandQ) store_.StoreWrite(address, v);
  if (!displayOnly) {
    if (role <= role::BandQ) {
      writer_->WriteEqBand(address, v);
    } else {
      writer_->WriteParam(address, v);
    }
  }
  if ((role <= role::EchoLowPass || role == role::EffectHighPass || role == role::UserQ) &&
      !editing_.PanelRefreshing) {
    editing_.LastChangedAddress = address;
    editing_.LastChangedValue = v;
  }
}

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
      if (p + kMicVisibleBands < band) {
        bar->setValue(band - (kMicVisibleBands - 1));
      } else if (band < p) {
        bar->setValue(band);
      }
    }
  }
  return band;
}

// ---------------------------------------------------------------- field reactions

void EditPipeline::MusFreEdit1Click(QLineEdit* field) {
  if (KindOf(registry_.PrimaryControl(Tag(field))) != WidgetKind::TextField || !IsBandField(field)) return;
  editing_.EditClicked = true;
  field->setFocus(Qt::MouseFocusReason);
  editing_.CurrentEdit = field;
  editing_.LastGoodText = field->text();
  // Normalise the text and select the band; the value is stored, not sent.
  const int before = writer_->SuppressSend();
  writer_->SetSuppressSend(1);
  CommitEditText(kStepSet);
  writer_->SetSuppressSend(before);
}

bool EditPipeline::MusFreEdit1KeyPress(QLineEdit* field, const QKeyEvent& key) {
  editing_.CurrentEdit = field;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      MusFreEdit1Exit();
      return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return false;
    default:
      // Keys that type no character (Home, End, Shift, ...) keep their
      // editing and navigation; of the typing keys only number keys pass.
      return !key.text().isEmpty() && !IsTypedKey(key.text());
  }
}

void EditPipeline::MusFreEdit1KeyDown(int key) {
  if (editing_.CurrentEdit == nullptr || registry_.IsFiller(editing_.CurrentEdit)) return;
  if (key == Qt::Key_Up || key == Qt::Key_Right) CommitEditText(kStepUp);
  if (key == Qt::Key_Down || key == Qt::Key_Left) CommitEditText(kStepDown);
}

void EditPipeline::MusFreEdit1Exit() {
  QLineEdit* field = editing_.CurrentEdit;
  if (field == nullptr) return;
  if (field->text().isEmpty()) {
    field->setText(editing_.LastGoodText);
  } else {
    CommitEditText(kStepSet);
  }
}

void EditPipeline::MusFreUpDownBtn1Click(SpinButtons* spin, bool upRight) {
  QWidget* target = registry_.PrimaryControl(Tag(spin));
  if (auto* field = qobject_cast<QLineEdit*>(target); field != nullptr && IsBandField(field)) {
    // Focus first, so the field being left is committed as itself.
    field->setFocus(Qt::OtherFocusReason);
    editing_.CurrentEdit = field;
    CommitEditText(upRight ? kStepUp : kStepDown);
  } else if (auto* slider = qobject_cast<QSlider*>(target)) {
    slider->setValue(slider->value() + (upRight ? 1 : -1));
  }
}

bool EditPipeline::FormMouseWheel(int delta) {
  if (!editing_.EditClicked || delta == 0) return false;
  CommitEditText(delta > 0 ? kStepUp : kStepDown);
  return true;
}

// ---------------------------------------------------------------- slider and choice reactions

void EditPipeline::MicHPFreBarChange(QSlider* slider) {
  if (editing_.SliderSync) return;
  QWidget* pane = registry_.CompanionControl(Tag(slider));
  if (KindOf(pane) == WidgetKind::ValuePane) ApplyValue(pane, kStepSet, false, slider->value());
  // A parameter slider ends keyboard and wheel stepping until a field is chosen.
  editing_.CurrentEdit = registry_.Filler();
}

void EditPipeline::MusEQGainBar1Change(QSlider* slider) {
  if (editing_.SliderSync) return;
  auto* field = qobject_cast<QLineEdit*>(registry_.PrimaryControl(Tag(slider)));
  if (field == nullptr || registry_.IsFiller(field)) return;
  editing_.CurrentEdit = field;
  ApplyValue(field, kStepSet, false, slider->value());
}

void EditPipeline::MusModeBox1Change(QComboBox* box) {
  const int tag = Tag(box);
  const int k = std::clamp(box->currentIndex(), 0, 2);
  window_.Visual().Apply(registry_.ExtraControls(tag, k), ButtonVisual::kBandType);
  if (writer_->SuppressSend() == 1) return;
  writer_->WriteEqBand(tag, k);
  const int qSlot = k == 0 ? tag + 3 : tag + 4;
  if (auto* q = qobject_cast<QLineEdit*>(registry_.PrimaryControl(qSlot));
      q != nullptr && !registry_.IsFiller(q)) {
    editing_.CurrentEdit = q;
    ApplyValue(q, kStepSet, true, store_.Param(qSlot));
  }
  editing_.LastChangedAddress = tag;
  editing_.LastChangedValue = k;
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

// ---------------------------------------------------------------- picture buttons

void EditPipeline::EchoEffPhaseBtnClick(PictureButton* button) {
  const int state = window_.Visual().Apply(button, ButtonVisual::kSign);
  writer_->WriteParam(Tag(button), state);
}

void EditPipeline::MainLmuteBtnClick(PictureButton* button) {
  const int state = window_.Visual().Apply(button, ButtonVisual::kTwoState);
  writer_->WriteParam(Tag(button), state);
}

bool EditPipeline::EqButtonsLocked() const {
  return CurrentPageIndex() == 0 && store_.Param(0x000) == 0;
}

void EditPipeline::MusEQAllpassBtnClick(PictureButton* button) {
  if (EqButtonsLocked()) return;
  const int tag = Tag(button);
  const int state = window_.Visual().Apply(button, ButtonVisual::kTwoState);
  const int channel = ChannelOf(tag);
  if (channel >= 0 && channel < static_cast<int>(window_.Pages().EqPassFlags().size())) {
    window_.Pages().EqPassFlags()[static_cast<std::size_t>(channel)] = state;
  }
  writer_->WriteParam(tag, state);
  if (QWidget* label = registry_.Named(QStringLiteral("EQPassLabel"))) label->setVisible(state != 0);
}

void EditPipeline::EQResetBtnClick() {
  if (EqButtonsLocked()) return;
  int channel = CurrentChannel();
  if (channel == 1 && store_.MicGroupB != 0) channel = 2;
  if (!HasEqualiser(channel)) return;
  ResetEq(channel);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
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
    window_.Visual().Apply(members[static_cast<std::size_t>(k)], ButtonVisual::kRadio);
  }
  writer_->WriteParam(tag, k);
  const bool manager = store_.Param(0x90C) != 0;
  if (QWidget* gain = registry_.Named(QStringLiteral("SignRzGroup"))) gain->setEnabled(manager);
  if (QWidget* save = registry_.Named(QStringLiteral("RzBmpButton138"))) save->setEnabled(manager);
  if (tag >= 0x500 && tag <= 0x8FF) DrawEq(kAllBands, CurrentChannel());
}

void EditPipeline::MicABtnClick(PictureButton* button) {
  const int g = window_.Visual().Apply(button, ButtonVisual::kMicGroup);
  if (g < 0) return;
  store_.MicGroupB = g;
  PageSwitcher& pages = window_.Pages();
  if (g == 1 && CurrentPageIndex() == 1) {
    pages.SetCurveColour(QColor(255, 102, 0, 255));
    pages.SetEqLabelColour(QColor(255, 102, 0));
  } else {
    pages.SetCurveColour(QColor(0, 204, 255, 255));
    pages.SetEqLabelColour(QColor(199, 255, 255));
  }
  window_.Refresher().RefreshFromStore(1);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
}

void EditPipeline::AutoModeBtnClick(PictureButton* button) {
  const int value = window_.Visual().Apply(button, ButtonVisual::kAutoManual);
  if (value < 0) return;
  writer_->WriteParam(0x000, value);
  ApplyOperatingMode(value);
}

void EditPipeline::ApplyOperatingMode(int value) {
  const bool enable = value != 0;
  if (QWidget* music = registry_.Named(QStringLiteral("MusScrollBox"))) music->setEnabled(enable);
  for (int channel : {5, 6, 7, 8}) {
    const int last = channel == 8 ? 17 : 19;
    for (int slot = 0; slot <= last; ++slot) {
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
}

void EditPipeline::SingModeBtnClick(PictureButton* button) {
  const int value = window_.Visual().Apply(button, ButtonVisual::kSingDance);
  if (value < 0) return;
  writer_->WriteParam(0x001, value);
  store_.SceneFlag = value;
  window_.Refresher().RefreshFromStore(20);
  const int page = CurrentPageIndex();
  if (page >= 0 && page < kEqGroups)
    DrawEq(editing_.CurrentBand[static_cast<std::size_t>(page)], CurrentChannel());
}

void EditPipeline::SysMusStartVolBarChange(QSlider* slider) {
  const int tag = Tag(slider);
  const int slot = SlotOf(tag);
  const int role = std::clamp(HintInt(slider, 0), 0, 2);
  const int* trio = nullptr;
  for (const auto& t : kVolumeTrios) {
    if (std::find(std::begin(t), std::end(t), slot) != std::end(t)) trio = t;
  }
  auto* pane = qobject_cast<QLabel*>(registry_.CompanionControl(tag));
  const int last = pane != nullptr ? pane->property(kLastAppliedProperty).toInt() : 0;
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
    pane->setProperty(kLastAppliedProperty, position);
  }
  writer_->WriteParam(tag, position);
}

void EditPipeline::ResetEq(int which) {
  ResetEqStores(store_, which, [this](int address, int value) { writer_->WriteEqBand(address, value); });
  window_.Refresher().RefreshFromStore(which);
}

}  // namespace dsp
