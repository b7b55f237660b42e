#include "system/preset_panel.h"

#include <QDateTime>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>

#include "editing/edit_session.h"
#include "editmodel/settings.h"
#include "i18n/language.h"
#include "link/device_link.h"
#include "link/link_view.h"
#include "panels/ui_text.h"
#include "presets/preset_file.h"
#include "presets/preset_library.h"
#include "store/param_store.h"
#include "system/system_services.h"

namespace dsp {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

QString PathText(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()), static_cast<qsizetype>(utf8.size()));
}

// The reader's notices and log, held until the user has answered the load
// question: the file is read before it is asked, its verdict told after.
class HeldPresetEvents : public PresetEvents {
 public:
  const Translator& Texts() const override { return texts_; }
  void ShowNotice(const std::string& shown, const std::string&) override { notices_.push_back(shown); }
  void ClearLog() override {
    cleared_ = true;
    log_.clear();
  }
  void AppendLog(const std::string& line) override { log_.push_back(line); }
  void RequestUpload() override {}

  void ReplayLog(LinkView& view) const {
    if (cleared_) view.ClearLog();
    for (const std::string& line : log_) view.AppendLog(line);
  }
  void ReplayNotices(LinkView& view) const {
    for (const std::string& notice : notices_) view.ShowMessage(notice);
  }

 private:
  InstalledTranslation texts_;
  bool cleared_ = false;
  std::vector<std::string> log_;
  std::vector<std::string> notices_;
};

QString JoinLines(const std::vector<std::string>& lines) {
  QStringList out;
  for (const std::string& line : lines) out << FromUtf8(line);
  return out.join(QLatin1Char('\n'));
}

}  // namespace

PresetPanel::PresetPanel(SystemServices& services, std::filesystem::path folder)
    : services_(services), folder_(std::move(folder)) {
  grid_ = services_.Find<QTableWidget>("PresetGrid");
  fileEdit_ = services_.Find<QLineEdit>("FileEdit");
  if (grid_ != nullptr) {
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) { PresetGridClick(row); });
  }
  if (auto* save = services_.Find<QAbstractButton>("SavePresetBtn")) {
    connect(save, &QAbstractButton::clicked, this, [this] { SavePresetBtnClick(); });
  }
  if (auto* load = services_.Find<QAbstractButton>("LoadPresetBtn")) {
    connect(load, &QAbstractButton::clicked, this, [this] { LoadPresetBtnClick(); });
  }
}

bool PresetPanel::eventFilter(QObject* watched, QEvent* event) {
  // Key presses in the list are discarded: the name box is the only way to
  // type a name, and a row is chosen with the mouse. Tab still moves the
  // focus on, so the keyboard is never caught in the list.
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key != Qt::Key_Tab && key != Qt::Key_Backtab;
  }
  return QObject::eventFilter(watched, event);
}

void PresetPanel::PreparePresetFolders() {
  if (QWidget* group = services_.Find("SysBackupGrop")) group->setToolTip(PathText(folder_));
  std::string reason;
  if (!PreparePresetFolder(folder_, &reason)) {
    services_.Message(tr("预设文件夹无法创建: %1 (%2)").arg(PathText(folder_), QString::fromStdString(reason)));
  }
}

void PresetPanel::RefreshPresetList(const std::string& chosen) {
  names_ = ListPresetNames(folder_);
  int row = names_.empty() ? -1 : 0;
  if (!chosen.empty()) {
    const auto it = std::find(names_.begin(), names_.end(), chosen);
    row = it != names_.end() ? static_cast<int>(it - names_.begin()) : -1;
  }
  if (grid_ != nullptr) {
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(names_.size()));
    for (int i = 0; i < static_cast<int>(names_.size()); ++i) {
      auto* number = new QTableWidgetItem(QString::number(i));
      number->setTextAlignment(Qt::AlignCenter);
      grid_->setItem(i, 0, number);
      grid_->setItem(i, 1, new QTableWidgetItem(FromUtf8(names_[static_cast<std::size_t>(i)])));
    }
    if (row >= 0) {
      grid_->setCurrentCell(row, 0);
      grid_->scrollToItem(grid_->item(row, 0));
    } else {
      grid_->setCurrentCell(-1, -1);
    }
  }
  if (fileEdit_ == nullptr) return;
  if (!chosen.empty()) {
    // The name just saved stays, so that loading next loads that file.
    fileEdit_->setText(FromUtf8(chosen));
  } else {
    // The listed name itself: the display-name rule was applied once already.
    fileEdit_->setText(row >= 0 ? FromUtf8(names_[static_cast<std::size_t>(row)]) : QString());
  }
}

void PresetPanel::PresetGridClick(int row) {
  if (row < 0 || row >= static_cast<int>(names_.size()) || fileEdit_ == nullptr) return;
  fileEdit_->setText(FromUtf8(names_[static_cast<std::size_t>(row)]));
  if (services_.editor.WindowReady()) fileEdit_->setFocus(Qt::OtherFocusReason);
}

void PresetPanel::SavePresetBtnClick() {
  if (fileEdit_ == nullptr || fileEdit_->text().isEmpty()) return;
  const std::string name = fileEdit_->text().toStdString();
  for (const std::string& listed : names_) {
    if (listed != name) continue;
    if (services_.Ask(tr("*系统提示*"), tr("文件已存在,覆盖它吗?"),
                      QuestionButtons::OkCancel) != Answer::Ok) {
      return;
    }
    break;
  }
  const SaveResult saved = SavePresetFile(services_.store, folder_, name);
  if (!saved) {
    services_.view.AppendLog(saved.english);
    services_.Message(CoreText("Presets", saved.chinese.c_str()));
    return;
  }
  services_.editor.Session().MarkSaved();
  RefreshPresetList(name);
}

QString PresetPanel::SaveRecovery(const Settings& settings) {
  ParamStore kept;
  kept.DeviceImage = settings.image;
  const QString stamp =
      tr("离线编辑-%1").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
  QString name = stamp;
  for (int n = 2; std::filesystem::exists(PresetPath(folder_, name.toStdString())); ++n)
    name = stamp + QStringLiteral("-%1").arg(n);
  const SaveResult saved = SavePresetFile(kept, folder_, name.toStdString());
  if (!saved) {
    services_.view.AppendLog(saved.english);
    return QString();
  }
  RefreshPresetList();
  return name;
}

void PresetPanel::LoadPresetBtnClick() {
  if (fileEdit_ == nullptr) return;
  const QString text = fileEdit_->text();
  const std::string name = text.toStdString();
  // The file is read into a scratch copy first, so that the question can
  // say what it would change; nothing changes before the answer.
  ParamStore trial = services_.store;
  HeldPresetEvents held;
  // An empty name box names the file ".Wfxr", which is not there.
  const bool readable = !name.empty() && LoadPresetFile(trial, folder_, name, held) == LoadOutcome::Accepted;
  QuestionDetails details;
  if (readable) {
    const DiffReport report =
        ReportDiff(Diff(Capture(services_.store), Capture(trial), DiffScope::Setting), kQuestionLines,
                   services_.editor.Session().Texts());
    details.informative = FromUtf8(report.summary);
    if (!report.first.empty()) details.informative += QLatin1Char('\n') + JoinLines(report.first);
    if (report.all.size() > report.first.size()) details.informative += QStringLiteral("\n…");
    details.details = JoinLines(report.all);
    if (services_.curvePictures) details.pictures = services_.curvePictures(services_.store, trial);
  }
  if (services_.Ask(QStringLiteral("Confirm"), tr("加载模式：%1 ?").arg(text),
                    QuestionButtons::YesNo, details) != Answer::Yes) {
    return;
  }
  if (name.empty()) {
    services_.Message(CoreText("Presets", NoticeFileMissing.chinese));
    return;
  }
  if (!readable) {
    held.ReplayLog(services_.view);
    held.ReplayNotices(services_.view);
    return;
  }
  EditSession& session = services_.editor.Session();
  const QString label = tr("加载预设 %1").arg(text);
  if (!services_.link.Connected()) {
    // No processor: the file goes into the editor, and saving writes it.
    held.ReplayLog(services_.view);
    session.LoadOffline(Capture(trial), label, text);
    return;
  }
  if (!services_.Linked()) {
    services_.Message(services_.NotReadyText());
    return;
  }
  held.ReplayLog(services_.view);
  {
    EditSession::Gesture gesture(session, label);
    services_.store.DeviceImage = trial.DeviceImage;
  }
  // The whole image goes to the processor; the panels follow when it is there.
  services_.link.SetLinkStatus(6);
}

}  // namespace dsp
