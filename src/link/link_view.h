#pragma once
// What the device link does to the screen, as an interface: the main window
// implements it, tests use a recording implementation. The link layer never
// sees a widget.

#include <string>

#include "common/translator.h"

namespace dsp {

// The three timers of the link: the port scan (1000 ms), the transfer
// sequence (100 ms) and the write pacing (20 ms). The core only says which
// run; the application drives them and calls the matching tick handler.
enum class LinkTimer { Scan, Transfer, Hold };

// The transfer sequences: the full download after a connection, the reload
// of the channel blocks after a mode recall, the upload of a preset, and the
// verify read, which reads the channel blocks into a scratch copy and leaves
// the stores alone.
enum class Transfer { Download, Reload, Upload, Verify };

class LinkView {
 public:
  virtual ~LinkView() = default;

  // The language of the texts the link hands over (status texts, messages,
  // port problems); the source texts unless the view says otherwise.
  virtual const Translator& Texts() const { return SourceTexts(); }

  // The link status text changed ("设备搜索...", "设备已连接", ...).
  virtual void SetStatusText(const std::string& text) = 0;
  // The status dialog shows the status text and the progress percent.
  virtual void UpdateStatusDialog(const std::string& text, int percent) = 0;
  // Show (and raise) or hide the status dialog.
  virtual void SetStatusDialogVisible(bool visible) = 0;
  // A modal information box with the caption "提示" and an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // The connect/disconnect pair: connected lights "联机", else "断开".
  virtual void ShowLinkButtons(bool connected) = 0;
  // Show every widget of a channel (0..9) or of all channels (20) from the
  // stores, without sending anything.
  virtual void RefreshFromStore(int which) = 0;
  // Rebuild the mode list from the mode names, keeping its selection.
  virtual void RebuildModeList() = 0;
  virtual void ShowMainWindow() = 0;
  virtual void SetTimerRunning(LinkTimer timer, bool running) = 0;
  // A line for the diagnostic log (never shown to the user).
  virtual void AppendLog(const std::string& line) = 0;
  virtual void ClearLog() = 0;
  // The processor's identification code, eight upper-case hex digits.
  virtual void ShowDeviceId(const std::string& text) = 0;
  // The port list's selection moved (the scan tries one port per tick);
  // -1 when no entry is selected.
  virtual void ShowSelectedPort(int index) = 0;
  // Why the port just tried could not be opened, for the status dialog;
  // empty when the last port opened (or a new scan starts).
  virtual void ShowPortProblem(const std::string& text) { (void)text; }
  // A transfer sequence starts: a download or a reload is about to replace
  // the stores with the processor's setting, an upload to send them.
  virtual void TransferStarted(Transfer kind) { (void)kind; }
  // A transfer sequence completed and the panels show the stores.
  virtual void TransferFinished(Transfer kind) { (void)kind; }
  // A transfer sequence broke off (the link was lost, or the processor
  // stopped answering): a download or reload may have filled the stores in
  // part.
  virtual void TransferBroken(Transfer kind) { (void)kind; }
  // Frames have waited for the processor's acknowledgement for more than
  // a second: `waiting` of them (in flight and queued); 0 once the line
  // has caught up (or the pacing stopped).
  virtual void ShowBacklog(int waiting) { (void)waiting; }
};

}  // namespace dsp
