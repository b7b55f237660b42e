#include "editing/edit_session.h"

#include <algorithm>
#include <set>

#include "editing/editor_context.h"
#include "editing/store_refresh.h"
#include "editmodel/param_cells.h"
#include "editmodel/write_plan.h"
#include "link/device_link.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kOperatingModeAddress = 0x0000;
constexpr int kAllChannels = 20;  // RefreshFromStore: every channel
// More channels than this changed: every page is shown again.
constexpr std::size_t kRefreshAllAbove = 2;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

EditSession::EditSession(EditorContext& editor) : editor_(editor) {}

EditSession::~EditSession() {
  SetLink(nullptr);
}

void EditSession::SetLink(DeviceLink* link) {
  if (link_ != nullptr) {
    link_->OnPacingTick = nullptr;
    link_->PacingTickWanted = nullptr;
  }
  sender_.reset();
  link_ = link;
  if (link_ == nullptr) return;
  sender_ = std::make_unique<PlanSender>(editor_.Store(), *link_);
  link_->OnPacingTick = [this] { sender_->Pump(); };
  link_->PacingTickWanted = [this] { return sender_->WouldFeed(); };
}

bool EditSession::Linked() const {
  return link_ != nullptr && link_->LinkState == 2;
}

bool EditSession::Connected() const {
  return link_ != nullptr && link_->Connected();
}

void EditSession::Start() {
  started_ = true;
  baseline_ = Capture(editor_.Store());
}

void EditSession::Rebaseline() {
  baseline_ = Capture(editor_.Store());
}

// ---------------------------------------------------------------- recording

void EditSession::Open(const QString& label) {
  if (label_.isEmpty()) label_ = label;
  ++depth_;
}

void EditSession::Close() {
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  const QString label = label_;
  label_.clear();
  if (applying_ || holding_) return;
  if (!started_) {
    Rebaseline();
    return;
  }
  const Settings live = Capture(editor_.Store());
  std::vector<CellChange> changes = Diff(baseline_, live, DiffScope::Everything);
  baseline_ = live;
  EditStep step;
  step.label = label.toStdString();
  step.changes = std::move(changes);
  // Parameters of a scene that waited for it go out once it plays.
  if (sender_) sender_->Pump();
  if (!history_.Record(std::move(step))) return;
  if (!Connected()) offlineEdits_ = offlineUnsaved_ = true;
  refusal_.clear();
  SetNote(Note());
  emit changed();
}

// ---------------------------------------------------------------- undo and redo

QString EditSession::Refusal(const std::vector<CellChange>& changes, bool after, bool redo) const {
  const QString action = Q(texts_.Translate("EditModel", redo ? kRedoWord : kUndoWord));
  if (PagesLocked && PagesLocked()) return tr("无法%1: 页面已锁定").arg(action);
  if (Connected() && !Linked()) return tr("无法%1: 设备忙,请稍后再试").arg(action);
  // Automatic mode locks the music equaliser and the outputs' mix: a step on
  // them is refused while the mode stays automatic (a step that changes the
  // mode itself takes its parameters with it).
  const ParamStore& store = editor_.Store();
  int mode = store.Param(kOperatingModeAddress);
  const int modeCell = CellAt(0, 0);
  for (const CellChange& c : changes) {
    if (c.cell == modeCell) mode = std::max(mode, after ? c.after : c.before);
  }
  if (mode != 0) return QString();
  for (const CellChange& c : changes) {
    const ParamCell& cell = ParamCells()[c.cell];
    if (LockedInAutomaticMode(cell.row, cell.slot)) {
      return tr("无法%1: 自动模式锁定了 %2").arg(action, Q(CellName(cell, texts_)));
    }
  }
  return QString();
}

void EditSession::Refused(const QString& why) {
  refusal_ = why;
  SetNote(Note());
  emit changed();
}

bool EditSession::Undo() {
  const EditStep* step = history_.NextUndo();
  if (!started_ || depth_ > 0 || step == nullptr) return false;
  const EditStep copy = *step;
  if (copy.kind == StepKind::AbSwitch) {
    const Settings live = Capture(editor_.Store());
    const QString why = Refusal(Diff(live, ab_.Other(live), DiffScope::Setting), true, false);
    if (!why.isEmpty()) {
      Refused(why);
      return false;
    }
    ApplySwitch();
  } else {
    const QString why = Refusal(copy.changes, false, false);
    if (!why.isEmpty()) {
      Refused(why);
      return false;
    }
    Apply(copy.changes, false);
  }
  history_.CommitUndo();
  if (!Connected()) offlineEdits_ = offlineUnsaved_ = true;
  refusal_.clear();
  SetNote(Note());
  emit changed();
  return true;
}

bool EditSession::Redo() {
  const EditStep* step = history_.NextRedo();
  if (!started_ || depth_ > 0 || step == nullptr) return false;
  const EditStep copy = *step;
  if (copy.kind == StepKind::AbSwitch) {
    const Settings live = Capture(editor_.Store());
    const QString why = Refusal(Diff(live, ab_.Other(live), DiffScope::Setting), true, true);
    if (!why.isEmpty()) {
      Refused(why);
      return false;
    }
    ApplySwitch();
  } else {
    const QString why = Refusal(copy.changes, true, true);
    if (!why.isEmpty()) {
      Refused(why);
      return false;
    }
    Apply(copy.changes, true);
  }
  history_.CommitRedo();
  if (!Connected()) offlineEdits_ = offlineUnsaved_ = true;
  refusal_.clear();
  SetNote(Note());
  emit changed();
  return true;
}

void EditSession::Apply(const std::vector<CellChange>& changes, bool after, bool send) {
  ParamStore& store = editor_.Store();
  applying_ = true;
  WriteChanges(store, changes, after);
  // Linked: the ordinary paced writes, one frame per changed value or band.
  // Not linked: the stores only, like every edit made then.
  if (send && Linked() && sender_) sender_->Queue(PlanWrites(changes, store.Scene()));
  std::set<int> channels;
  bool scene = false;
  for (const CellChange& c : changes) {
    const ParamCell& cell = ParamCells()[c.cell];
    channels.insert(cell.row == 2 ? 1 : cell.row);
    if (cell.row == 0 && cell.index == 1) scene = true;
  }
  StoreRefresh& refresh = editor_.Refresher();
  if (scene || channels.size() > kRefreshAllAbove) {
    refresh.RefreshFromStore(kAllChannels);
  } else {
    for (int channel : channels) refresh.RefreshFromStore(channel);
  }
  Rebaseline();
  applying_ = false;
}

// ---------------------------------------------------------------- A/B

void EditSession::ApplySwitch() {
  const Settings live = Capture(editor_.Store());
  const Settings target = ab_.Switch(live);
  Apply(Diff(live, target, DiffScope::Setting), true);
}

void EditSession::SelectLetter(AbLetter letter) {
  if (!started_ || depth_ > 0 || letter == ab_.Active()) return;
  if (PagesLocked && PagesLocked()) {
    Refused(tr("无法切换: 页面已锁定"));
    return;
  }
  if (Connected() && !Linked()) {
    Refused(tr("无法切换: 设备忙,请稍后再试"));
    return;
  }
  // What the user changed just before belongs to the letter being left.
  Open();
  Close();
  EditStep step;
  step.kind = StepKind::AbSwitch;
  step.label = tr("A/B: 切换到 %1").arg(QLatin1Char(LetterChar(letter))).toStdString();
  ApplySwitch();
  history_.Record(std::move(step));
  if (!Connected()) offlineEdits_ = offlineUnsaved_ = true;
  refusal_.clear();
  SetNote(Note());
  emit changed();
}

Settings EditSession::OtherSetting() const {
  return ab_.Other(Capture(editor_.Store()));
}

std::vector<CellChange> EditSession::AbDifferences() const {
  const Settings live = Capture(editor_.Store());
  return Diff(live, ab_.Other(live), DiffScope::Setting);
}

void EditSession::CopyToOther() {
  if (!started_ || depth_ > 0) return;
  ab_.CopyActive(Capture(editor_.Store()));
  refusal_.clear();
  SetNote(Note());
  emit changed();
}

// ---------------------------------------------------------------- whole settings and offline editing

void EditSession::LoadOffline(const Settings& image, const QString& label, const QString& name) {
  if (!started_ || depth_ > 0) return;
  Open();
  Close();
  ParamStore& store = editor_.Store();
  const Settings before = Capture(store);
  applying_ = true;
  // The file's whole rows, reserved entries included, so that saving it
  // again writes the same file.
  for (int row = 0; row <= 8; ++row)
    store.DeviceImage[static_cast<std::size_t>(row)] = image.image[static_cast<std::size_t>(row)];
  store.SceneFlag = store.Device(0, 1);
  store.RebuildParamTable(store.Scene());
  EditStep step;
  step.label = label.toStdString();
  step.changes = Diff(before, Capture(store), DiffScope::Everything);
  editor_.Refresher().RefreshFromStore(kAllChannels);
  Rebaseline();
  applying_ = false;
  history_.Record(std::move(step));
  // The setting is the file's: it differs from any processor's, but it is saved.
  offlineEdits_ = true;
  offlineUnsaved_ = false;
  offlineName_ = name;
  refusal_.clear();
  SetNote(Note());
  emit changed();
}

void EditSession::MarkSaved() {
  offlineUnsaved_ = false;
}

// ---------------------------------------------------------------- verify against the processor

QString EditSession::StartVerify() {
  if (!started_ || depth_ > 0) return QString();
  if (!Connected()) return Q(texts_.Translate("Link", kNotLinkedText));
  // The read compares the processor with what the window has sent: every
  // write, the session's own included, must have been answered first.
  if (!Linked() || (sender_ && (sender_->Waiting() > 0 || sender_->Deferred() > 0)) ||
      !link_->StartVerifyRead())
    return tr("无法核对: 设备忙,请稍后再试");
  return QString();
}

QString EditSession::VerifyRefusal() const {
  if (!Connected()) return Q(texts_.Translate("Link", kNotLinkedText));
  if (!Linked()) return tr("设备忙,请稍后再试");
  if (!verifiedValid_) return tr("设备的设置已重新读取, 请再次核对");
  if (PagesLocked && PagesLocked()) return tr("页面已锁定");
  return QString();
}

bool EditSession::SendToProcessor() {
  const QString why = VerifyRefusal();
  if (!why.isEmpty()) {
    if (ShowMessage) ShowMessage(why);
    return false;
  }
  // The processor's values before, the window's after: the plan writes the
  // window's values of exactly the parameters that differ, as an A/B
  // switch does.
  const std::vector<CellChange> changes = Diff(verified_, Capture(editor_.Store()), DiffScope::Setting);
  if (sender_) sender_->Queue(PlanWrites(changes, editor_.Store().Scene()));
  verifiedValid_ = false;
  return true;
}

bool EditSession::TakeFromProcessor() {
  if (depth_ > 0) return false;
  const QString why = VerifyRefusal();
  if (!why.isEmpty()) {
    if (ShowMessage) ShowMessage(why);
    return false;
  }
  // What the user changed just before is a step of its own.
  Open();
  Close();
  const std::vector<CellChange> changes = Diff(Capture(editor_.Store()), verified_, DiffScope::Setting);
  verifiedValid_ = false;
  if (changes.empty()) return true;
  // The processor holds these values already: nothing is sent. Undoing the
  // step sends the window's values back, as every undo does.
  Apply(changes, true, /*send=*/false);
  EditStep step;
  step.label = tr("采用设备设置").toStdString();
  step.changes = changes;
  history_.Record(std::move(step));
  refusal_.clear();
  SetNote(Note());
  emit changed();
  return true;
}

// ---------------------------------------------------------------- transfers

void EditSession::TransferStarted(Transfer kind) {
  // Any other read or write of the processor's setting makes the last
  // verify read's findings stale.
  verifiedValid_ = false;
  // A verify read leaves the stores to the user.
  if (kind == Transfer::Verify) return;
  // Nothing planned before may reach the processor after this.
  if (sender_) sender_->Drop();
  if (depth_ == 0 && !holding_) {
    Open();
    Close();
  }
  if (!holding_) beforeTransfer_ = Capture(editor_.Store());
  (void)kind;
  holding_ = true;
}

void EditSession::TransferFinished(Transfer kind) {
  if (kind == Transfer::Verify) {
    if (link_ == nullptr) return;
    verified_.image = link_->VerifyImage();
    verifiedValid_ = true;
    // Parameters changed while the blocks were read were kept in the
    // stores only: they differ from the processor and are listed too.
    const std::vector<CellChange> differences = Diff(verified_, Capture(editor_.Store()), DiffScope::Setting);
    if (VerifyFinished) VerifyFinished(differences);
    return;
  }
  holding_ = false;
  const Settings live = Capture(editor_.Store());
  if (kind == Transfer::Reload) {
    // A mode recall: the processor's setting changed underneath.
    history_.Clear();
  } else if (kind == Transfer::Download) {
    if (!Diff(beforeTransfer_, live, DiffScope::Everything).empty()) history_.Clear();
    const bool kept = offlineEdits_ && !Diff(beforeTransfer_, live, DiffScope::Setting).empty();
    if (kept) {
      // The processor's setting is current (A); what was edited without it
      // is B, one click away, and on disk when it was not saved.
      ab_.Assign(AbLetter::A, beforeTransfer_);
      QString text = tr("设备已连接: 当前为设备中的设置 (A), 离线编辑的设置已放入 B");
      if (offlineUnsaved_) {
        const QString saved = SaveRecovery ? SaveRecovery(beforeTransfer_) : QString();
        text += saved.isEmpty() ? tr(", 但无法保存为预设文件") : tr(", 并已保存为预设 \"%1\"").arg(saved);
      }
      if (ShowMessage) ShowMessage(text);
    }
    offlineEdits_ = offlineUnsaved_ = false;
    offlineName_.clear();
  }
  baseline_ = live;
  refusal_.clear();
  SetNote(Note());
  emit changed();
}

void EditSession::TransferBroken(Transfer kind) {
  if (kind == Transfer::Verify || !holding_) return;
  holding_ = false;
  if (kind != Transfer::Upload) {
    // The blocks that arrived before the link broke are not shown anywhere:
    // the stores go back to what the widgets show.
    ParamStore& store = editor_.Store();
    store.DeviceImage = beforeTransfer_.image;
    store.SceneFlag = store.Device(0, 1);
    store.RebuildParamTable(store.Scene());
  }
  Rebaseline();
}

// ---------------------------------------------------------------- the note

QString EditSession::Note() const {
  if (!refusal_.isEmpty()) return refusal_;
  if (!offlineName_.isEmpty()) return tr("离线编辑: %1").arg(offlineName_);
  return QString();
}

void EditSession::SetNote(const QString& note) {
  if (ShowNote) ShowNote(note);
}

}  // namespace dsp
