// Cost of a full printed report: the title page, the eight equaliser pages
// with their graphs and band tables, and every other parameter, written as
// a PDF file (Qt's writer, fonts embedded).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "report/settings_report.h"
#include "store/eq_defaults.h"
#include "store/param_store.h"

namespace {

void BM_FullReport(benchmark::State& state) {
  dsp::ParamStore store;
  dsp::ResetEqStores(store, dsp::kAllEqualisers);
  dsp::ReportData data;
  data.title = "Room 12";
  data.created = "2026-12-11 10:00";
  data.deviceCode = "0A1B2C3D";
  data.modeNames.assign(15, "MODE");
  data.currentMode = 1;
  data.systemValues = true;
  data.settings = dsp::Capture(store);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("report.pdf"));
  for (auto _ : state) {
    QString error;
    if (!dsp::WriteSettingsReport(data, file, error)) state.SkipWithError(error.toStdString().c_str());
  }
  state.counters["bytes"] = static_cast<double>(QFile(file).size());
}
BENCHMARK(BM_FullReport)->Unit(benchmark::kMillisecond);

}  // namespace
