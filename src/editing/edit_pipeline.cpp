#include "editing/edit_pipeline.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSet>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "catalogue/catalogue.h"
#include "common/rounding.h"
#include "editing/edit_session.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "editing/param_writer.h"
#include "editing/store_refresh.h"
#include "eq/scales.h"
#include "panels/button_visual.h"
#include "panels/click_picture.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/picture_button.h"
#include "panels/spin_buttons.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

bool IsValueChar(QChar c) {
  return c == QLatin1Char('-') || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

namespace {}  // namespace

EditPipeline::EditPipeline(EditorContext& editor)
    : editor_(editor),
      registry_(editor.Registry()),
      store_(editor.Store()),
      editing_(editor.Editing()),
      storeOnly_(std::make_unique<StoreOnlyWriter>(editor.Store())),
      writer_(storeOnly_.get()) {
  editor_.Visual().SelectBand = [this](QWidget* field, int group) { return SelectBand(field, group); };
  ShowMessage = [this](const QString& text) {
    QMessageBox::information(&editor_.Root(), tr("提示"), text, QMessageBox::Ok);
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
  return editor_.Pages().CurrentPageIndex();
}

int EditPipeline::CurrentChannel() const {
  return editor_.Pages().CurrentChannel();
}

void EditPipeline::DrawEq(int band, int channel) {
  // The graph draws through the page switcher's hook; until the graph exists
  // nothing is drawn.
  if (editor_.Pages().DrawEq) editor_.Pages().DrawEq(band, channel);
}

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
            BindSliderGesture(slider);
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
          BindSliderGesture(slider);
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
      BindSliderGesture(slider);
      connect(slider, &QSlider::valueChanged, this, [this, slider] { MusEQGainBar1Change(slider); });
    }
  }
  for (const char* name : {"ComEQFreUpDownBtn", "ComEQGainUpDownBtn", "ComEQQvalueUpDownBtn"}) {
    bindSpin(registry_.Named(QString::fromLatin1(name)));
  }
  // Its text fields stand for the band's own fields: what is typed there is
  // applied to the band shown.
  for (const char* name : {"ComEQFreEdit", "ComEQGainEdit", "ComEQQvalueEdit"}) {
    if (QWidget* w = registry_.Named(QString::fromLatin1(name));
        KindOf(w) == WidgetKind::TextField && once(w)) {
      w->installEventFilter(this);
      panelFields_.insert(w);
    }
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

  // The wheel steps the current field wherever the pointer is over the window.
  wheel_ = std::make_unique<WheelFilter>(*this);
  qApp->installEventFilter(wheel_.get());
}

void EditPipeline::BindSliderGesture(QSlider* slider) {
  // A drag from press to release is one undo step, however many steps the
  // value moved.
  EditSession& session = editor_.Session();
  connect(slider, &QAbstractSlider::sliderPressed, this, [&session] { session.Open(); });
  connect(slider, &QAbstractSlider::sliderReleased, this, [&session] { session.Close(); });
}

bool EditPipeline::WheelFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != &pipeline_.editor_.Root()) return false;
  // A widget that steps its own value with the wheel gets the turn first.
  if (OwnsWheel(widget)) return false;
  return pipeline_.FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
}

bool EditPipeline::eventFilter(QObject* watched, QEvent* event) {
  // Installed on the band fields and the common band panel's fields only:
  // password, name and other text fields keep their ordinary behaviour.
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field == nullptr) return false;
  if (panelFields_.contains(field)) return PanelFieldEvent(field, event);
  if (!fields_.contains(field)) return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // Undo and redo are the window's: a band field keeps no text history
      // of its own (its value is committed at once).
      const auto* key = static_cast<QKeyEvent*>(event);
      return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
             (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier);
    }
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

bool EditPipeline::PanelFieldEvent(QLineEdit* field, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) ComEQFreEditClick(field);
      return false;
    case QEvent::KeyPress:
      return ComEQFreEditKeyPress(field, static_cast<const QKeyEvent&>(*event));
    case QEvent::FocusOut:
      ComEQFreEditExit(field);
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- pipeline

void EditPipeline::CommitEditText(int stepMode) {
  EditSession::Gesture gesture(editor_.Session());
  QLineEdit* field = editing_.CurrentEdit;
  if (field == nullptr || registry_.IsFiller(field)) return;
  QString kept;
  for (const QChar c : field->text()) {
    if (IsValueChar(c)) kept += c;
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
  // A change outside any other gesture (a pending graph step) is a step of its own.
  std::optional<EditSession::Gesture> gesture;
  if (!displayOnly) gesture.emplace(editor_.Session());
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
    editing_.RecordChange(address, v);
  }
  // The common band panel follows the band being worked on in the page
  // shown, with the value just stored. (A refresh shows the page's band once
  // at its end.)
  if (role >= role::BandFreq && role <= role::BandQ && !editing_.PanelRefreshing &&
      EqGroupOf(address) == CurrentPageIndex()) {
    editor_.BandPanel().ShowCurrentBand(address);
  }
}

}  // namespace dsp
