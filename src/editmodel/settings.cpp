#include "editmodel/settings.h"

#include <array>

namespace dsp {

Settings Capture(const ParamStore& store) {
  Settings s;
  s.image = store.DeviceImage;
  return s;
}

std::vector<CellChange> Diff(const Settings& before, const Settings& after, DiffScope scope) {
  std::vector<CellChange> changes;
  const std::vector<ParamCell>& cells = ParamCells();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const ParamCell& cell = cells[i];
    if (scope == DiffScope::Setting && !cell.inSetting) break;  // channel 9 comes last
    const std::int32_t a = before.Value(cell);
    const std::int32_t b = after.Value(cell);
    if (a != b) changes.push_back({static_cast<std::uint16_t>(i), a, b});
  }
  return changes;
}

namespace {

std::string Change(const CellChange& change, const char* separator, const Translator& texts) {
  const ParamCell& cell = ParamCells()[change.cell];
  return CellName(cell, texts) + separator + CellValueText(cell, change.before, texts) + " → " +
         CellValueText(cell, change.after, texts);
}

}  // namespace

std::string ChangeText(const CellChange& change, const Translator& texts) {
  return Change(change, " ", texts);
}

std::string ChangeLine(const CellChange& change, const Translator& texts) {
  return Change(change, ": ", texts);
}

std::vector<PageCount> CountByPage(const std::vector<CellChange>& changes) {
  std::array<int, 8> counts{};
  for (const CellChange& c : changes) {
    const int page = ParamCells()[c.cell].page;
    if (page >= 0 && page < 8) ++counts[static_cast<std::size_t>(page)];
  }
  std::vector<PageCount> out;
  for (int page = 0; page < 8; ++page) {
    if (counts[static_cast<std::size_t>(page)] > 0)
      out.push_back({page, counts[static_cast<std::size_t>(page)]});
  }
  return out;
}

DiffReport ReportDiff(const std::vector<CellChange>& changes, int lines, const Translator& texts) {
  DiffReport report;
  if (changes.empty()) {
    report.summary = texts.Translate("EditModel", kSameSettingText);
    return report;
  }
  std::string pages;
  for (const PageCount& p : CountByPage(changes)) {
    if (!pages.empty()) pages += ", ";
    pages += texts.Translate("Catalogue", PageTitle(p.page)) + " " + std::to_string(p.count);
  }
  report.summary = FormatText(texts.Translate("EditModel", DSP_TRANSLATE_NOOP("EditModel", "将改变 %1 项参数 (%2)")),
                              {std::to_string(changes.size()), pages});
  report.all.reserve(changes.size());
  for (const CellChange& c : changes) report.all.push_back(ChangeLine(c, texts));
  const std::size_t shown = std::min(report.all.size(), static_cast<std::size_t>(lines < 0 ? 0 : lines));
  report.first.assign(report.all.begin(), report.all.begin() + static_cast<std::ptrdiff_t>(shown));
  return report;
}

}  // namespace dsp
