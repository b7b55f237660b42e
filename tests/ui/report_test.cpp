// The printed report, checked the way a reader sees it: Debian's
// poppler-utils read the PDF back (pdfinfo for the pages, pdftotext for the
// values, pdftoppm to render the graph page), and the curve's pixels are
// where the graph's own mapping puts them.

#include "report/settings_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "eq/band_slots.h"
#include "store/eq_defaults.h"
#include "store/param_store.h"

namespace dsp {
namespace {

QString RunTool(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A setting with a known music equaliser: flat bands, band 3 at 1000 Hz
// and +6 dB.
ParamStore KnownStore() {
  ParamStore store;
  ResetEqStores(store, kAllEqualisers);
  store.DeviceImage[0][0] = 1;    // manual
  store.DeviceImage[0][15] = 204; // EQ3 1000.0Hz
  store.DeviceImage[0][16] = 150; // EQ3 +6.0dB
  store.RebuildParamTable(0);
  return store;
}

bool CurveColoured(const QColor& c) { return c.blue() > 150 && c.green() > 110 && c.red() < 120; }

TEST(SettingsReport, PdfHoldsTheValuesAndTheGraphWhereTheGraphPutsIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const ParamStore store = KnownStore();
  ReportData data;
  data.title = "Room 12";
  data.created = "2026-12-11 10:00";
  data.settings = Capture(store);
  const QString file = dir.filePath(QStringLiteral("room12.pdf"));
  QString error;
  ASSERT_TRUE(WriteSettingsReport(data, file, error)) << error.toStdString();
  EXPECT_FALSE(QFile::exists(file + QStringLiteral(".tmp")));

  const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
  EXPECT_TRUE(info.contains(QStringLiteral("pts (A4)"))) << info.toStdString();
  const QString pagesLine = info.section(QStringLiteral("Pages:"), 1).section(QLatin1Char('\n'), 0, 0).trimmed();
  const int pages = pagesLine.toInt();
  // A title page, eight equaliser pages and the other parameters.
  EXPECT_GE(pages, 10) << info.toStdString();

  const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
  for (const QString& expected :
       {QStringLiteral("设置报告"), QStringLiteral("Room 12"), QStringLiteral("2026-12-11 10:00"),
        QStringLiteral("音乐"), QStringLiteral("麦克风 B组"), QStringLiteral("EQ3"), QStringLiteral("1000.0Hz"),
        QStringLiteral("6.0dB"), QStringLiteral("音乐 自动/手动"), QStringLiteral("手动"),
        QStringLiteral("第 1 页, 共 %1 页").arg(pages), QStringLiteral("第 %1 页, 共 %1 页").arg(pages)}) {
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
  }

  // The music page (page 2) at 144 dpi: 2 pixels a point.
  const QString prefix = dir.filePath(QStringLiteral("page"));
  RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-f"),
                                   QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2"),
                                   QStringLiteral("-singlefile"), QStringLiteral("-png"), file, prefix});
  const QImage page(prefix + QStringLiteral(".png"));
  ASSERT_FALSE(page.isNull());
  const QRectF box = ReportGraphRect();
  const double sx = box.width() / ReportGraphWidth();
  const double sy = box.height() / ReportGraphHeight();
  BandSlots bandSlots;
  const std::vector<CurvePoint> curve =
      bandSlots.DrawEq(store, AllBands, 0, GraphGeometry(ReportGraphWidth(), ReportGraphHeight()), false).curve;
  ASSERT_GT(curve.size(), 10u);
  auto pixel = [&](double gx, double gy) {
    return QPoint(static_cast<int>(std::lround((box.left() + gx * sx) * 2)),
                  static_cast<int>(std::lround((box.top() + gy * sy) * 2)));
  };
  int onCurve = 0;
  int samples = 0;
  for (std::size_t i = curve.size() / 10; i < curve.size() * 9 / 10; i += curve.size() / 20) {
    ++samples;
    const QPoint at = pixel(curve[i].x, curve[i].y);
    bool found = false;
    for (int dx = -2; dx <= 2 && !found; ++dx)
      for (int dy = -2; dy <= 2 && !found; ++dy) found = CurveColoured(page.pixelColor(at + QPoint(dx, dy)));
    onCurve += found;
    // Well above and below the curve there is no curve colour.
    EXPECT_FALSE(CurveColoured(page.pixelColor(at + QPoint(0, -24)))) << i;
    EXPECT_FALSE(CurveColoured(page.pixelColor(at + QPoint(0, 24)))) << i;
  }
  EXPECT_EQ(onCurve, samples);
  // The peak of band 3 is the curve's highest point, at 1000 Hz.
  const auto top = std::min_element(curve.begin(), curve.end(),
                                    [](const CurvePoint& a, const CurvePoint& b) { return a.y < b.y; });
  EXPECT_NEAR(top->x, GraphGeometry(ReportGraphWidth(), ReportGraphHeight()).FreqToX(1000.0), 6);
}

TEST(SettingsReport, AFileThatCannotBeWrittenIsAClearErrorAndLeavesNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ReportData data;
  data.settings = Capture(KnownStore());
  QString error;
  const QString missing = dir.filePath(QStringLiteral("no/such/folder/r.pdf"));
  EXPECT_FALSE(WriteSettingsReport(data, missing, error));
  EXPECT_TRUE(error.contains(QStringLiteral("cannot write"))) << error.toStdString();
  if (::geteuid() != 0) {  // root writes anywhere
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(WriteSettingsReport(data, dir.filePath(QStringLiteral("locked/r.pdf")), error));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("locked"))).isEmpty());
  }
}

}  // namespace
}  // namespace dsp
