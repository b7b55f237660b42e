#pragma once
// What a printed report of a setting says besides the setting itself: the
// room or file it is of, when it was made, and, when it was read from a
// processor, the processor's device code and modes.

#include <string>
#include <vector>

#include "editmodel/settings.h"

namespace dsp {

struct ReportData {
  std::string title;                   // the room's or the file's name
  std::string created;                 // date and time, e.g. "2026-12-11 14:05"
  std::string deviceCode;              // empty unless read from a processor
  int currentMode = 0;                 // 1..15; 0 when unknown
  std::vector<std::string> modeNames;  // the processor's 15 mode names; empty for a file
  Settings settings;
  bool systemValues = false;  // the setting holds a processor's system values (channel 9)
};

}  // namespace dsp
