#pragma once
// The preset group of the system page ("电脑数据备份管理"): the preset folder,
// the two-column list of the preset files in it, the name box FileEdit, and
// the save and load flows. The folder logic and the listing rules are in
// presets/preset_library.h.

#include <QObject>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace dsp {

struct Settings;
struct SystemServices;

class PresetPanel : public QObject {
  Q_OBJECT
 public:
  PresetPanel(SystemServices& services, std::filesystem::path folder);

  const std::filesystem::path& Folder() const { return folder_; }
  // The listed names, row by row.
  const std::vector<std::string>& Names() const { return names_; }

  // Creates the preset folder when it is missing and shows it as the
  // group's tooltip; a folder that cannot be made is reported.
  void PreparePresetFolders();
  // Lists the folder again. With a `chosen` name (the one just saved) its
  // row is selected and FileEdit keeps that name; otherwise the first row
  // is selected and FileEdit holds its name (or nothing).
  void RefreshPresetList(const std::string& chosen = {});

  // ---- reactions ----
  void PresetGridClick(int row);
  void SavePresetBtnClick();
  void LoadPresetBtnClick();

  // Keeps a setting as a new preset named after the moment ("离线编辑-
  // 20240501-153000"); returns the name, or an empty text when it could not
  // be saved.
  QString SaveRecovery(const Settings& settings);
  // Lines of the load question that show the first changes.
  static constexpr int kQuestionLines = 8;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SystemServices& services_;
  std::filesystem::path folder_;
  std::vector<std::string> names_;
  QTableWidget* grid_ = nullptr;
  QLineEdit* fileEdit_ = nullptr;
};

}  // namespace dsp
