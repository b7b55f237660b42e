#pragma once
// The preset folder and its listing: which folder the program keeps its
// preset files in, which files of it are listed and under which names, and
// the file a listed name stands for.
//
// A preset file is listed when its name ends in ".Wfxr" in any letter case
// and something precedes the extension; it is listed under the name without
// the extension, and that listed name is what saving and loading take.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dsp {

// The display-name rule: the file name up to, not including, the first "."
// that is followed by exactly four more characters (UTF-8 characters, not
// bytes); a name without such a dot stays whole. "Live.Wfxr" gives "Live".
std::string PresetDisplayName(std::string_view fileName);

// True for a file name that ends in ".Wfxr" (extension in any letter case)
// after a non-empty stem that names a loadable preset.
bool IsPresetFileName(std::string_view fileName);

// The listed names of the preset files in `folder` (plain files only), in
// ascending name order ignoring ASCII letter case (ties in byte order). A
// missing or unreadable folder lists nothing. The list has no fixed limit.
std::vector<std::string> ListPresetNames(const std::filesystem::path& folder);

// The file a listed name stands for: folder/name.Wfxr when it exists,
// otherwise an existing plain file folder/name + extension in another letter
// case, otherwise folder/name.Wfxr (the file a save creates).
std::filesystem::path FindPresetFile(const std::filesystem::path& folder, std::string_view name);

// The preset folder in use: the folder given on the command line when there
// is one; otherwise exeDir/Mode/J4100Mode when the executable's folder is
// writable and not an installed program's `bin` folder (a portable copy);
// otherwise appDataDir/presets.
std::filesystem::path ChoosePresetFolder(const std::filesystem::path& option,
                                         const std::filesystem::path& exeDir, bool exeDirWritable,
                                         const std::filesystem::path& appDataDir);

// Creates the folder and its missing parents; an existing folder is left as
// it is. Returns false (with a reason) when the folder cannot be made.
bool PreparePresetFolder(const std::filesystem::path& folder, std::string* reason = nullptr);

}  // namespace dsp
