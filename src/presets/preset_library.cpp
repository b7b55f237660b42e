#include "presets/preset_library.h"

#include <algorithm>
#include <system_error>

#include "presets/preset_file.h"

namespace dsp {
namespace {

constexpr std::size_t kExtensionLength = 5;  // ".Wfxr"

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = AsciiLower(c);
  return folded;
}

// Ascending ignoring ASCII letter case; names that differ only in case keep
// byte order, so the order is total.
bool NameLess(const std::string& a, const std::string& b) {
  const std::string fa = Folded(a);
  const std::string fb = Folded(b);
  return fa != fb ? fa < fb : a < b;
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

std::filesystem::path Utf8Path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

bool IsPlainFile(const std::filesystem::directory_entry& entry) {
  std::error_code ec;
  return entry.is_regular_file(ec) && !ec;
}

}  // namespace

std::string PresetDisplayName(std::string_view fileName) {
  // Walk back over four characters; the character before them must be the
  // dot, and it must be the first dot with that property, which it is: only
  // one position has exactly four characters after it.
  std::size_t at = fileName.size();
  for (int characters = 0; characters < 4; ++characters) {
    if (at == 0) return std::string(fileName);
    --at;
    while (at > 0 && IsContinuationByte(fileName[at])) --at;
  }
  if (at == 0 || fileName[at - 1] != '.') return std::string(fileName);
  return std::string(fileName.substr(0, at - 1));
}

bool IsPresetFileName(std::string_view fileName) {
  if (fileName.size() <= kExtensionLength) return false;
  if (!EqualIgnoringAsciiCase(fileName.substr(fileName.size() - kExtensionLength), PresetExtension)) {
    return false;
  }
  return ValidPresetName(fileName.substr(0, fileName.size() - kExtensionLength));
}

std::vector<std::string> ListPresetNames(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return {};
  for (const auto end = std::filesystem::directory_iterator(); it != end; it.increment(ec)) {
    if (ec) break;
    if (!IsPlainFile(*it)) continue;
    std::string name = Utf8Name(it->path());
    if (IsPresetFileName(name)) files.push_back(std::move(name));
  }
  std::sort(files.begin(), files.end(), NameLess);
  std::vector<std::string> names;
  names.reserve(files.size());
  for (const std::string& file : files) names.push_back(PresetDisplayName(file));
  return names;
}

std::filesystem::path FindPresetFile(const std::filesystem::path& folder, std::string_view name) {
  const std::filesystem::path exact = PresetPath(folder, name);
  std::error_code ec;
  if (std::filesystem::is_regular_file(exact, ec)) return exact;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return exact;
  for (const auto end = std::filesystem::directory_iterator(); it != end; it.increment(ec)) {
    if (ec) break;
    if (!IsPlainFile(*it)) continue;
    const std::string file = Utf8Name(it->path());
    if (file.size() == name.size() + kExtensionLength && file.compare(0, name.size(), name) == 0 &&
        EqualIgnoringAsciiCase(std::string_view(file).substr(name.size()), PresetExtension)) {
      return folder / Utf8Path(file);
    }
  }
  return exact;
}

std::filesystem::path ChoosePresetFolder(const std::filesystem::path& option,
                                         const std::filesystem::path& exeDir, bool exeDirWritable,
                                         const std::filesystem::path& appDataDir) {
  if (!option.empty()) return option;
  // An executable in a `bin` folder (/usr/bin, /usr/local/bin, ~/.local/bin)
  // was installed: its folder is shared by every program and belongs to the
  // package manager, so even a writable one (root, a user prefix) never
  // gets preset folders beside the programs.
  const bool installed = exeDir.filename() == "bin" ||
                         (exeDir.filename().empty() && exeDir.parent_path().filename() == "bin");
  if (exeDirWritable && !exeDir.empty() && !installed) return exeDir / "Mode" / "J4100Mode";
  return appDataDir / "presets";
}

bool PreparePresetFolder(const std::filesystem::path& folder, std::string* reason) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return true;
  if (reason != nullptr) *reason = ec ? ec.message() : std::string("not a folder");
  return false;
}

}  // namespace dsp
