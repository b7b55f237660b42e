#pragma once
// The editing model on the window: records each user action as one undo
// step, undoes and redoes them, keeps the A/B pair, and carries whole
// settings (a preset loaded while no processor is linked, an A/B switch)
// into the stores, the widgets and, when linked, the ordinary paced writes.
//
// A step is the difference between the settings before and after one user
// action. The reactions open a gesture while they run, sliders and graph
// drags from press to release; when the outermost gesture closes, what
// changed since the last step is recorded. Changes made while the stores
// are being replaced (a transfer) or while the session applies a step
// itself are never recorded.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "editmodel/ab_pair.h"
#include "editmodel/edit_history.h"
#include "editmodel/settings.h"
#include "i18n/language.h"
#include "link/link_view.h"

namespace dsp {

class DeviceLink;
class EditorContext;
class PlanSender;

class EditSession : public QObject {
  Q_OBJECT
 public:
  explicit EditSession(EditorContext& editor);
  ~EditSession() override;

  // The device link whose pacing sends what the session applies; nullptr
  // while there is none (the window alone). Installs the link's pacing hook.
  void SetLink(DeviceLink* link);
  // The language of the editing model's names and values (the window's).
  const Translator& Texts() const { return texts_; }

  // ---- recording ----
  // A user action in progress; nested gestures count as the outermost one.
  // `label` names the step where its changes alone would not ("EQ重置").
  void Open(const QString& label = QString());
  void Close();
  // Open for the lifetime of the object.
  class Gesture {
   public:
    explicit Gesture(EditSession& session, const QString& label = QString()) : session_(session) {
      session_.Open(label);
    }
    ~Gesture() { session_.Close(); }
    Gesture(const Gesture&) = delete;
    Gesture& operator=(const Gesture&) = delete;

   private:
    EditSession& session_;
  };
  // The window is ready: what the stores hold now is where the history starts.
  void Start();

  // ---- undo and redo ----
  // Applies the previous (next) step, or says in the status line why not:
  // a locked parameter, the locked pages, a busy processor.
  bool Undo();
  bool Redo();
  const EditHistory& History() const { return history_; }

  // ---- A/B ----
  AbLetter Active() const { return ab_.Active(); }
  // Makes `letter` current; nothing happens when it is current already.
  void SelectLetter(AbLetter letter);
  // The current setting into the other letter.
  void CopyToOther();
  const AbPair& Pair() const { return ab_; }
  // The setting the other letter holds (the current one until it is given
  // one of its own), and the parameters in which it differs from the
  // current setting (before: current, after: the other letter).
  Settings OtherSetting() const;
  std::vector<CellChange> AbDifferences() const;

  // ---- whole settings ----
  // Makes `image` (rows 0..8: a preset file's content) the current setting
  // as one step named `label`, without sending anything: the preset editor
  // while no processor is linked. `name` is the preset now being edited.
  void LoadOffline(const Settings& image, const QString& label, const QString& name);
  // The current setting was saved to a file: nothing typed offline is
  // unsaved any more.
  void MarkSaved();
  bool OfflineEdits() const { return offlineEdits_; }
  bool OfflineUnsaved() const { return offlineUnsaved_; }

  // ---- verify against the processor ----
  // Reads the processor's channel blocks into a scratch copy (the stores
  // and the widgets stay as they are); VerifyFinished then hears the
  // parameters in which the window differs from the processor (before:
  // the processor, after: this window). Returns why it did not start
  // ("设备未连接", a busy processor), empty when it started.
  QString StartVerify();
  std::function<void(const std::vector<CellChange>& differences)> VerifyFinished;
  // The answers to the differences of the last verify read. Send: the
  // window's values of exactly the differing parameters go to the
  // processor through the paced writes (the window does not change).
  // Take: the processor's values become the window's as one undo step,
  // without sending anything. Each says why not in a message box and
  // returns false when the link is not ready or the processor's setting
  // was read anew since.
  bool SendToProcessor();
  bool TakeFromProcessor();

  // ---- the link's transfers ----
  void TransferStarted(Transfer kind);
  void TransferFinished(Transfer kind);
  void TransferBroken(Transfer kind);

  // The line of the title strip that tells about editing ("离线编辑: Club",
  // why an undo was refused); empty for nothing to tell.
  QString Note() const;
  std::function<void(const QString& note)> ShowNote;
  // A message box (the link view's sink).
  std::function<void(const QString& text)> ShowMessage;
  // Keeps a setting as a preset file in the preset folder; returns the name
  // it was saved under, or an empty text when it could not be saved.
  std::function<QString(const Settings& settings)> SaveRecovery;
  // True while the pages are locked (the keyboard-lock prompt is up).
  std::function<bool()> PagesLocked;

 signals:
  // The history, the A/B pair or the note changed: the buttons follow.
  void changed();

 private:
  bool Linked() const;
  bool Connected() const;
  // Why the current state refuses to apply the before (after) values of
  // `changes` as an undo (redo); empty when it does not.
  QString Refusal(const std::vector<CellChange>& changes, bool after, bool redo) const;
  // Puts the before or after values of `changes` into the stores and the
  // widgets, and sends them when linked.
  void Apply(const std::vector<CellChange>& changes, bool after, bool send = true);
  // Why an answer to a verify read cannot be carried out now; empty when
  // it can.
  QString VerifyRefusal() const;
  // Applies an A/B switch: the other letter's setting becomes current.
  void ApplySwitch();
  void Refused(const QString& why);
  void SetNote(const QString& note);
  void Rebaseline();

  EditorContext& editor_;
  DeviceLink* link_ = nullptr;
  std::unique_ptr<PlanSender> sender_;
  EditHistory history_;
  AbPair ab_;
  Settings baseline_;        // the stores as of the last step, apply or transfer
  Settings beforeTransfer_;  // what the stores held when a download or reload began
  int depth_ = 0;            // open gestures
  InstalledTranslation texts_;  // names and values of the editing model in the window's language
  QString label_;
  bool started_ = false;
  bool applying_ = false;
  bool holding_ = false;         // a transfer runs: the stores are not the user's
  bool offlineEdits_ = false;    // steps made without a processor since the last download
  bool offlineUnsaved_ = false;  // ... and not saved to a file since
  QString offlineName_;          // the preset loaded for offline editing
  QString refusal_;              // why the last undo, redo or switch was refused
  Settings verified_;            // the processor's setting as the last verify read found it
  bool verifiedValid_ = false;   // ... and nothing has read or replaced it since
};

}  // namespace dsp
