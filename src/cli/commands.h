#pragma once
// The headless commands: info, backup, restore, recall-mode, save-mode,
// and the settings documents: export, import, diff, report.
// Each reaches a processor through a Room on the application's event
// loop, its steps running one after another as operations that complete on
// their own; it prints its result on `out` and says what went wrong in one
// line on `err` (progress goes there too).

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "settingsdoc/report_data.h"

namespace dsp::cli {

struct Request {
  std::string command;
  std::vector<std::string> arguments;
  std::vector<std::string> ports;  // scanned in order; empty: the machine's serial ports
  bool json = false;
  // The language of parameter names and value words in results: "zh" (the
  // processor's own texts) or "en"; `languageGiven` when --lang chose it.
  std::string language = "zh";
  bool languageGiven = false;
};

// Checks the command and its arguments before anything is opened; false
// with the problem in `problem` (exit status 2).
bool Validate(const Request& request, std::string& problem);

// Runs a validated request; returns the exit status (0 or 1). `report`
// writes the PDF of the report command.
int Execute(const Request& request, std::FILE* out, std::FILE* err, bool errIsTerminal,
            const std::function<bool(const ReportData&, const std::string&, std::string&)>& report = {});

// `text` as a JSON string, quotes included.
std::string JsonQuoted(const std::string& text);

// The info result as one JSON object (exposed for tests).
std::string InfoJson(const std::string& port, const std::string& device, int currentMode,
                     const std::vector<std::string>& modeNames);

}  // namespace dsp::cli
