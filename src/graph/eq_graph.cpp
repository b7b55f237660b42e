#include "graph/eq_graph.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "editing/edit_pipeline.h"
#include "editing/edit_session.h"
#include "editing/editor_context.h"
#include "editing/page_switcher.h"
#include "graph/band_point.h"
#include "graph/graph_image.h"
#include "graph/point_overhang.h"
#include "panels/control_registry.h"
#include "panels/edit_state.h"
#include "panels/skin.h"
#include "panels/widget_props.h"
#include "store/param_store.h"

namespace dsp {

namespace {
// The other letter's curve is drawn at this opacity (of 255).
constexpr int kGhostAlpha = 90;
}  // namespace

namespace {

MouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::Left;
    case Qt::RightButton:
      return MouseButton::Right;
    default:
      return MouseButton::Middle;
  }
}

bool IsDragButton(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::RightButton;
}

// The opacity of "EQ PASS" (of 255): well visible on the black graph, yet
// light enough that the curve and the value label read across it.
constexpr int kPassLabelAlpha = 115;

}  // namespace

EqGraph::EqGraph(EditorContext& editor) : editor_(editor) {}

EqGraph::~EqGraph() = default;

void EqGraph::Build(QWidget* panel, QWidget* area) {
  area_ = area;
  image_ = new GraphImage(area);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setGeometry(0, 0, area->width(), area->height());
  image_->setAccessibleName(tr("均衡曲线"));
  image_->installEventFilter(this);
  connect(image_, &GraphImage::rebuilt, this, [this] { PlaceAxisLabels(); });
  connect(image_, &GraphImage::ratioChanged, this, [this] { RedrawPage(); });
  connect(image_, &GraphImage::mouseMoved, this,
          [this](Qt::MouseButtons buttons, QPoint pos) { Image1MouseMove(buttons, pos); });
  connect(image_, &GraphImage::mouseReleased, this,
          [this](Qt::MouseButton button, QPoint) { Image1MouseUp(button); });

  // "EQ PASS" lies under the band points, so they stay in reach while
  // the bypass is on; the value label lies over them. It is drawn as a
  // translucent watermark: clearly there, while the curve, the points and
  // the value label stay readable across it.
  passLabel_ = new QLabel(QStringLiteral("EQ PASS"), area);
  passLabel_->setObjectName(QStringLiteral("EQPassLabel"));
  passLabel_->setAlignment(Qt::AlignCenter);
  QFont passFont(QStringLiteral("微软雅黑"));  // untranslated: a font family name
  passFont.setPixelSize(35);
  passFont.setBold(true);
  passLabel_->setFont(passFont);
  // 150 x 46 at 400,72, widened about its centre where the font at hand
  // needs more room, so that no letter is cut off.
  const int passWidth = std::max(150, passLabel_->sizeHint().width() + 8);
  passLabel_->setGeometry(475 - passWidth / 2, 72, passWidth, 46);
  passLabel_->setStyleSheet(
      QStringLiteral("color: rgba(255, 255, 255, %1); background: transparent;").arg(kPassLabelAlpha));
  passLabel_->hide();
  passLabel_->installEventFilter(this);

  for (int i = 0; i < kBandPointCount; ++i) {
    const QString name = i < kHighPassPoint
                             ? QStringLiteral("EP%1").arg(i + 1)
                             : (i == kHighPassPoint ? QStringLiteral("HPF") : QStringLiteral("LPF"));
    auto* point = new BandPoint(i, skin::BandPoint(i), area);
    point->setObjectName(name);
    point->setAccessibleName(PointName(i));
    point->setGeometry(0, 0, PointSize(i), PointSize(i));
    point->hide();
    connect(point, &BandPoint::pressed, this,
            [this, point](Qt::MouseButton button, QPoint pos) { EP1MouseDown(point, button, pos); });
    connect(point, &BandPoint::moved, this,
            [this, point](Qt::MouseButtons, QPoint pos) { EP1MouseMove(point, pos); });
    connect(point, &BandPoint::released, this,
            [this, point](Qt::MouseButton button, QPoint) { EP1MouseUp(point, button); });
    connect(point, &BandPoint::wheeled, this, [this, point](int delta) { EP1MouseWheel(point, delta); });
    points_[static_cast<std::size_t>(i)] = point;
  }

  valueLabel_ = new QLabel(area);
  valueLabel_->setObjectName(QStringLiteral("EQlabel"));
  QFont valueFont(QStringLiteral("Arial"));
  valueFont.setPixelSize(12);
  valueFont.setBold(true);
  valueLabel_->setFont(valueFont);
  valueLabel_->setAlignment(Qt::AlignCenter);
  valueLabel_->setAttribute(Qt::WA_TranslucentBackground);
  valueLabel_->setStyleSheet(QStringLiteral("color: #c7ffff; background: transparent;"));
  valueLabel_->setText(QStringLiteral("+12dB\nQ:128.00\n12000.00Hz"));
  valueLabel_->adjustSize();
  valueLabel_->installEventFilter(this);

  // The axis labels: created once, placed again on every rebuild.
  for (const AxisLabel& a : AxisLabels(image_->Geometry(), area->x(), area->y())) {
    auto* label = new QLabel(QString::fromStdString(a.text), panel);
    label->setObjectName(QString::fromStdString(a.name));
    label->setFont(skin::UiFont(10, true));
    label->setAlignment(a.rightAligned ? (Qt::AlignRight | Qt::AlignVCenter) : Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    axisLabels_.push_back(label);
  }
  PlaceAxisLabels();

  // A point at the top or bottom edge sticks out of the area into the
  // panel: that part is drawn, and taken with the mouse, over the panel.
  overhang_ = new PointOverhang(area, std::vector<BandPoint*>(points_.begin(), points_.end()), panel);

  // The band number labels of every page select their band on a click.
  for (QLabel* label : editor_.Root().findChildren<QLabel*>()) {
    if (label->objectName().contains(QLatin1String("EQPointLabel"))) label->installEventFilter(this);
  }
}

BandPoint* EqGraph::Point(int index) const {
  return index >= 0 && index < kBandPointCount ? points_[static_cast<std::size_t>(index)] : nullptr;
}

void EqGraph::PlaceAxisLabels() {
  if (image_ == nullptr || area_ == nullptr) return;
  const std::vector<AxisLabel> places = AxisLabels(image_->Geometry(), area_->x(), area_->y());
  for (std::size_t i = 0; i < places.size() && i < axisLabels_.size(); ++i) {
    const AxisLabel& a = places[i];
    axisLabels_[i]->setGeometry(a.left, a.top, a.width, a.height);
  }
}

bool EqGraph::eventFilter(QObject* watched, QEvent* event) {
  if (watched == image_) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      return Image1KeyPress(key->key(), key->modifiers());
    }
    if (event->type() == QEvent::FocusIn) ShowKeyPoint();
    return false;
  }
  if (event->type() != QEvent::MouseButtonRelease) return false;
  if (watched == valueLabel_ || watched == passLabel_) {
    EQlabelMouseUp();
    return false;
  }
  auto* label = qobject_cast<QLabel*>(watched);
  if (label != nullptr && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    MusEQPointLabel1Click(label);
  }
  return false;
}

// ---------------------------------------------------------------- drawing

void EqGraph::DrawEq(int band, int channel) {
  if (image_ == nullptr || band < 0 || band > AllBands || channel < 0 || channel >= 9) return;
  if (editor_.Editing().PanelRefreshing || !HasEqualiser(channel)) return;
  image_->BuildGraphBackground(GraphImage::Mode::Restore);
  const EqDrawing d = slots_.DrawEq(editor_.Store(), band, channel, image_->Geometry(), drag_.DragActive());
  if (d.visible) {
    for (int i = 0; i < kBandPointCount; ++i)
      points_[static_cast<std::size_t>(i)]->setVisible((*d.visible)[i]);
  }
  for (const PointMove& m : d.moves) {
    BandPoint* point = Point(m.point);
    if (point != nullptr && point->pos() != QPoint(m.left, m.top)) point->move(m.left, m.top);
  }
  if (d.label) ShowValueLabel(*d.label);
  // While A and B differ here, the other letter's curve shows faintly
  // behind the current one.
  if (const std::vector<CurvePoint>* ghost = GhostCurve(channel, d.curve)) {
    QColor faint = editor_.Pages().CurveColour();
    faint.setAlpha(kGhostAlpha);
    image_->DrawCurve(*ghost, faint);
  }
  image_->DrawCurve(d.curve, editor_.Pages().CurveColour());
  lastCurve_ = d.curve;
  ShowKeyPoint();
}

const std::vector<CurvePoint>* EqGraph::GhostCurve(int channel, const std::vector<CurvePoint>& current) {
  const EditSession& session = editor_.Session();
  if (!session.Pair().OtherHeld()) return nullptr;
  const ParamStore& store = editor_.Store();
  const GraphGeometry geometry = image_->Geometry();
  const Settings other = session.OtherSetting();
  if (!ghost_.valid || ghost_.other != other || ghost_.channel != channel || ghost_.scene != store.Scene() ||
      ghost_.groupB != store.MicGroupB || ghost_.width != geometry.Width() || ghost_.height != geometry.Height()) {
    ParamStore shown;
    shown.DeviceImage = other.image;
    shown.SceneFlag = store.SceneFlag;
    shown.MicGroupB = store.MicGroupB;
    shown.RebuildParamTable(store.Scene());
    BandSlots bandSlots;
    ghost_ = {true, other, channel, store.Scene(), store.MicGroupB, geometry.Width(), geometry.Height(),
              bandSlots.DrawEq(shown, AllBands, channel, geometry, false).curve};
  }
  return ghost_.curve == current ? nullptr : &ghost_.curve;
}

void EqGraph::ShowValueLabel(const ValueLabel& label) {
  BandPoint* point = Point(label.point);
  if (point == nullptr || valueLabel_ == nullptr) return;
  valueLabel_->setText(QString::fromStdString(label.text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
  valueLabel_->adjustSize();
  const LabelRect r = PlaceValueLabel(label.place, point->x(), point->y(), point->width(), point->height(),
                                      valueLabel_->width(), valueLabel_->height());
  // Centred on its point, but kept inside the graph, so that the values of
  // a point at either end stay readable.
  const QWidget* area = valueLabel_->parentWidget();
  const int left = std::clamp(r.left, 0, std::max(0, area->width() - valueLabel_->width()));
  const int top = std::clamp(r.top, 0, std::max(0, area->height() - valueLabel_->height()));
  if (valueLabel_->pos() != QPoint(left, top)) valueLabel_->move(left, top);
  valueLabel_->raise();
}

// ---------------------------------------------------------------- fields

DragContext EqGraph::Context() const {
  DragContext c;
  c.page = editor_.Pages().CurrentPageIndex();
  c.channel = editor_.Pages().CurrentChannel();
  c.manual = editor_.Store().Param(0x0000) != 0;
  c.windowReady = editor_.WindowReady();
  if (image_ != nullptr) {
    c.geometry = image_->Geometry();
    c.imageTop = image_->y();
  }
  return c;
}

int EqGraph::BandFieldAddress(int band, int field) const {
  const QLabel* label = editor_.Registry().BandNumberLabel(editor_.Pages().CurrentPageIndex(), band);
  if (label == nullptr) return -1;
  return Tag(label) * 256 + HintInt(label, 0) + band * 5 + (field - 1);
}

bool EqGraph::SelectField(int address) {
  if (address < 0) return false;
  auto* field = qobject_cast<QLineEdit*>(editor_.Registry().PrimaryControl(address));
  if (field == nullptr || editor_.Registry().IsFiller(field)) return false;
  if (!field->isEnabled() || !field->isVisible() || field->focusPolicy() == Qt::NoFocus) return false;
  // While the graph has the keyboard focus it keeps it, so that its keys go
  // on working on the band.
  editor_.Pipeline().MusFreEdit1Click(field, image_ == nullptr || !image_->hasFocus());
  return true;
}

void EqGraph::MusEQPointLabel1Click(QLabel* label) {
  if (label == nullptr) return;
  bool ok = false;
  const int number = label->text().trimmed().toInt(&ok);
  if (!ok || number < 1) return;
  SelectField(Tag(label) * 256 + HintInt(label, 0) + (number - 1) * 5);
}

// ---------------------------------------------------------------- mouse

void EqGraph::EP1MouseDown(BandPoint* point, Qt::MouseButton button, QPoint pos) {
  if (point == nullptr) return;
  const MouseButton b = ButtonOf(button);
  if (b == MouseButton::Middle) return;
  OpenGesture();
  point->setCursor(Qt::CrossCursor);
  const DragSteps stored = StoredDragSteps(editor_.Store(), slots_.ControlsOfPoint(point->Index()));
  const PressResult r = drag_.Press(b, pos.x(), pos.y(), point->Index(), Context(), stored.freq, stored.gain);
  if (r.selectQField) {
    // Without a Q field that takes the input, a right drag would step
    // whatever field was current before: it steps nothing then.
    if (!SelectField(BandFieldAddress(point->Index(), 3))) drag_.CancelRightDrag();
  }
  if (r.drawSlot >= 0) DrawEq(r.drawSlot, r.drawChannel);
  // The band is drawn with its value label at once, also when its gain was
  // the change seen last (a filter point pressed in between).
  if (r.selectGainField && SelectField(BandFieldAddress(point->Index(), 2))) DrawLastChange(true);
  const int page = editor_.Pages().CurrentPageIndex();
  if (page >= 0 && page < kEqGroups) {
    pick_ = {point->Index(), page, editor_.Editing().CurrentBand[static_cast<std::size_t>(page)]};
  }
  ShowKeyPoint();
}

void EqGraph::EP1MouseMove(BandPoint* point, QPoint pos) {
  if (point == nullptr || point->Index() != drag_.DragPoint()) return;
  PointRect p{point->x(), point->y(), point->width(), point->height()};
  const MoveResult r = drag_.Move(pos.x(), pos.y(), p, Context());
  if (r.qStep) {
    editor_.Pipeline().CommitEditText(r.direction > 0 ? kStepUp : (r.direction < 0 ? kStepDown : kStepSet));
    // The curve follows the Q while the button is held (the timer waits for
    // the release).
    DrawLastChange(true);
    return;
  }
  if (r.movePoint) {
    point->move(p.left, p.top);
    ShowKeyPoint();
  }
  if (r.applyPending) ApplyPendingDrag();
}

void EqGraph::EP1MouseUp(BandPoint* point, Qt::MouseButton button) {
  if (point == nullptr || !IsDragButton(button)) return;
  const bool wasActive = drag_.DragActive();
  const bool selectGain = drag_.Release(ButtonOf(button), Context());
  if (wasActive) point->setCursor(Qt::ArrowCursor);
  if (selectGain) SelectField(BandFieldAddress(drag_.DragPoint(), 2));
  CloseGesture();
}

void EqGraph::EP1MouseWheel(BandPoint* point, int delta) {
  if (point == nullptr || delta == 0 || !editor_.WindowReady()) return;
  const int index = point->Index();
  if (index >= kHighPassPoint || !EditingAllowed(Context())) return;
  // One Q step per notch, sent like any other edit of the field.
  if (!SelectField(BandFieldAddress(index, 3))) return;
  editor_.Pipeline().CommitEditText(delta > 0 ? kStepUp : kStepDown);
}

void EqGraph::Image1MouseMove(Qt::MouseButtons buttons, QPoint pos) {
  const MoveResult r = drag_.ImageMove((buttons & Qt::RightButton) != 0, pos.x(), pos.y());
  if (r.qStep) editor_.Pipeline().CommitEditText(r.direction > 0 ? kStepUp : kStepDown);
}

void EqGraph::Image1MouseUp(Qt::MouseButton button) {
  if (drag_.ImageRelease(ButtonOf(button), Context())) SelectField(BandFieldAddress(drag_.DragPoint(), 2));
  if (IsDragButton(button)) CloseGesture();
}

void EqGraph::OpenGesture() {
  if (gestureOpen_) return;
  gestureOpen_ = true;
  editor_.Session().Open();
}

void EqGraph::CloseGesture() {
  if (!gestureOpen_) return;
  // The steps still pending belong to this drag.
  if (!drag_.DragActive()) ApplyPendingDrag();
  gestureOpen_ = false;
  editor_.Session().Close();
}

void EqGraph::EQlabelMouseUp() {
  drag_.LabelRelease();
}

// ---------------------------------------------------------------- pending steps and redraw

void EqGraph::ApplyPendingDrag() {
  const PointControls& controls = slots_.ControlsOfPoint(drag_.DragBand());
  ControlRegistry& registry = editor_.Registry();
  const std::vector<ApplyCall> calls = drag_.TakePending(controls);
  for (const ApplyCall& call : calls) {
    QWidget* target = nullptr;
    if (call.gain) {
      target = registry.PrimaryControl(controls.gainAddress);
    } else {
      target = controls.freqIsPane ? registry.CompanionControl(controls.freqAddress)
                                   : registry.PrimaryControl(controls.freqAddress);
    }
    if (target == nullptr || registry.IsFiller(target)) continue;
    editor_.Pipeline().ApplyValue(target, kStepSet, call.displayOnly, call.value);
  }
  DrawLastChange(!calls.empty());
}

void EqGraph::DrawLastChange(bool always) {
  const EditState& editing = editor_.Editing();
  // A step of the graph's own is drawn even when it repeats the change seen
  // last: after an undo, the same value again is a change on the screen.
  if (!drag_.TakeChange(editing.LastChangedAddress, editing.LastChangedValue) && !always) return;
  const int band = EqPosition(editing.LastChangedAddress) / 256;
  if (band != kNotEqField) DrawEq(band, ChannelOf(editing.LastChangedAddress));
}

void EqGraph::RedrawPage() {
  const PageSwitcher& pages = editor_.Pages();
  const int page = pages.CurrentPageIndex();
  if (page < 0 || page >= kEqGroups) return;
  DrawEq(AllBands, pages.CurrentChannel());
  DrawEq(editor_.Editing().CurrentBand[static_cast<std::size_t>(page)], pages.CurrentChannel());
}

void EqGraph::Timer1Timer() {
  if (!drag_.DragActive()) ApplyPendingDrag();
}

bool EqGraph::HasWork() const {
  const EditState& editing = editor_.Editing();
  return drag_.StepsPending() || drag_.ChangeWaiting(editing.LastChangedAddress, editing.LastChangedValue);
}

// ---------------------------------------------------------------- keyboard

bool EqGraph::Image1KeyPress(int key, Qt::KeyboardModifiers modifiers) {
  modifiers &= ~Qt::KeypadModifier;
  const bool plain = modifiers == Qt::NoModifier;
  const bool forward = key == Qt::Key_Right || key == Qt::Key_BracketRight;
  std::function<void()> action;
  if ((plain && (key == Qt::Key_BracketLeft || key == Qt::Key_BracketRight)) ||
      (modifiers == Qt::ControlModifier && (key == Qt::Key_Left || key == Qt::Key_Right))) {
    action = [this, forward] { ClickPoint(NeighbourPoint(KeyPoint(), forward ? 1 : -1)); };
  } else if (plain && key >= Qt::Key_0 && key <= Qt::Key_9) {
    // 1..9 the first nine bands, 0 the tenth.
    action = [this, key] { ClickPoint(key == Qt::Key_0 ? 9 : key - Qt::Key_1); };
  } else if (plain && (key == Qt::Key_Left || key == Qt::Key_Right)) {
    action = [this, forward] { KeyDrag(forward ? 1 : -1, 0); };
  } else if (plain && (key == Qt::Key_Up || key == Qt::Key_Down)) {
    action = [this, key] { KeyDrag(0, key == Qt::Key_Up ? 1 : -1); };
  } else if (plain && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
    action = [this, key] { KeyQStep(key == Qt::Key_PageUp ? 1 : -1); };
  }
  if (!action) return false;
  // A point held with the mouse, and the locked pages, take no keys.
  const EditSession& session = editor_.Session();
  const bool locked = session.PagesLocked && session.PagesLocked();
  if (!editor_.WindowReady() || locked || drag_.DragActive()) return true;
  action();
  ShowKeyPoint();
  return true;
}

bool EqGraph::Shown(int point) const {
  const BandPoint* p = Point(point);
  return p != nullptr && !p->isHidden();
}

int EqGraph::KeyPoint() const {
  const int page = editor_.Pages().CurrentPageIndex();
  if (page < 0 || page >= kEqGroups) return -1;
  const int band = editor_.Editing().CurrentBand[static_cast<std::size_t>(page)];
  if (pick_.page == page && pick_.band == band && Shown(pick_.point)) return pick_.point;
  return Shown(band) ? band : -1;
}

int EqGraph::NeighbourPoint(int from, int direction) const {
  int i = from >= 0 ? from + direction : (direction > 0 ? 0 : kBandPointCount - 1);
  for (; i >= 0 && i < kBandPointCount; i += direction) {
    if (Shown(i)) return i;
  }
  return -1;
}

void EqGraph::ClickPoint(int point) {
  if (!Shown(point)) return;
  BandPoint* p = Point(point);
  EP1MouseDown(p, Qt::LeftButton, p->rect().center());
  EP1MouseUp(p, Qt::LeftButton);
}

void EqGraph::KeyDrag(int freqSteps, int gainSteps) {
  BandPoint* point = Point(KeyPoint());
  if (point == nullptr) return;
  EP1MouseDown(point, Qt::LeftButton, point->rect().center());
  const DragSteps from = KeyStartSteps(editor_.Store(), slots_.ControlsOfPoint(point->Index()));
  const bool stepped = drag_.Nudge(freqSteps, gainSteps, Context(), from);
  if (stepped) ApplyPendingDrag();
  EP1MouseUp(point, Qt::LeftButton);
  // A dragged point is where the mouse put it; after a key it is drawn
  // where its new value puts it.
  if (stepped) DrawLastChange(true);
}

void EqGraph::KeyQStep(int direction) {
  BandPoint* point = Point(KeyPoint());
  if (point == nullptr) return;
  const QPoint centre = point->rect().center();
  EP1MouseDown(point, Qt::RightButton, centre);
  // Without a Q field to step the press leaves no right drag: then a move
  // would be a left drag's.
  if (drag_.RightDrag()) EP1MouseMove(point, centre + QPoint(direction, 0));
  EP1MouseUp(point, Qt::RightButton);
}

QString EqGraph::PointName(int point) {
  if (point == kHighPassPoint) return tr("高通滤波");
  if (point == kLowPassPoint) return tr("低通滤波");
  return tr("第%1段").arg(point + 1);
}

void EqGraph::ShowKeyPoint() {
  if (image_ == nullptr) return;
  const int point = KeyPoint();
  const BandPoint* p = Point(point);
  image_->SetFocusMark(p != nullptr ? p->geometry().translated(-image_->pos()) : QRect());
  QString description;
  if (p != nullptr) {
    description = PointName(point);
    const int slot = slots_.SlotOfPoint(point);
    if (slot >= 0) {
      const QString values = QString::fromStdString(ValueLabelOf(slots_.Slot(slot)).text);
      description = tr("%1：%2").arg(description, values.split(QLatin1Char('\r')).join(QLatin1Char(' ')));
    }
  }
  if (image_->accessibleDescription() != description) image_->setAccessibleDescription(description);
}

}  // namespace dsp
