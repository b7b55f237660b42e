#include "report/settings_report.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "catalogue/catalogue.h"
#include "editmodel/param_cells.h"
#include "graph/graph_paint.h"
#include "i18n/language.h"
#include "panels/skin.h"
#include "store/param_store.h"

namespace dsp {
namespace {

// Page layout in PDF points: A4 is 595 x 842.
constexpr double kPageWidth = 595.0;
constexpr double kPageHeight = 842.0;
constexpr double kMargin = 42.0;
constexpr double kFooter = 28.0;  // room kept at the foot for the page number
constexpr double kRow = 14.0;     // a table row
constexpr double kHeading = 26.0;
constexpr int kGraphWidth = 893;  // the window's graph, in its logical pixels
constexpr int kGraphHeight = 297;

QString Tr(const char* text) { return QCoreApplication::translate("Report", text); }
QString Say(const std::string& text) { return QString::fromStdString(text); }

constexpr int kResolution = 600;  // device units per inch of the writer

// A font of `points` on the page. The painter draws in points (scaled to
// the writer's resolution), and a font's point size is taken at the
// device's resolution before that scale: hence the factor.
QFont ReportFont(double points, bool bold = false) {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Sans Serif")});
  font.setPointSizeF(points * 72.0 / kResolution);
  font.setBold(bold);
  return font;
}

struct Column {
  QString title;
  double width;
};

// Lays out and paints the pages; with no painter it only counts them.
class Pages {
 public:
  Pages(QPainter* painter, QPdfWriter* writer, int total) : p_(painter), writer_(writer), total_(total) {}

  int Count() const { return page_; }
  double Space() const { return kPageHeight - kMargin - kFooter - y_; }

  void NewPage() {
    if (page_ > 0) {
      Footer();
      if (p_ != nullptr) writer_->newPage();
    }
    ++page_;
    y_ = kMargin;
  }
  void Finish() {
    if (page_ > 0) Footer();
  }
  // Starts a new page unless `height` still fits on this one.
  void Need(double height) {
    if (page_ == 0 || Space() < height) NewPage();
  }

  void Heading(const QString& text, double size = 15) {
    Need(kHeading + 3 * kRow);
    Text(QRectF(kMargin, y_, kPageWidth - 2 * kMargin, kHeading), text, ReportFont(size, true));
    y_ += kHeading;
  }
  void Line(const QString& text, double size = 10, bool bold = false) {
    Need(kRow + 2);
    Text(QRectF(kMargin, y_, kPageWidth - 2 * kMargin, kRow + 2), text, ReportFont(size, bold));
    y_ += kRow + 2;
  }
  void Gap(double height) { y_ += height; }

  // A table; its header row is repeated on every page it runs onto, and a
  // title above it stays with its first rows.
  void Table(const QString& title, const std::vector<Column>& columns, const std::vector<QStringList>& rows) {
    if (rows.empty()) return;
    Need(kHeading + 3 * kRow);
    if (!title.isEmpty()) {
      Text(QRectF(kMargin, y_ + 4, kPageWidth - 2 * kMargin, kRow + 4), title, ReportFont(11, true));
      y_ += kRow + 8;
    }
    HeaderRow(columns);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (Space() < kRow) {
        NewPage();
        HeaderRow(columns);
      }
      if (p_ != nullptr && r % 2 == 1)
        p_->fillRect(QRectF(kMargin, y_, TableWidth(columns), kRow), QColor(238, 242, 248));
      double x = kMargin;
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const QString cell = c < static_cast<std::size_t>(rows[r].size()) ? rows[r][static_cast<int>(c)] : QString();
        Text(QRectF(x + 3, y_, columns[c].width - 6, kRow), cell, ReportFont(8.5));
        x += columns[c].width;
      }
      y_ += kRow;
    }
    y_ += 6;
  }

  // The graph of a channel, painted by the graph's own code scaled into
  // its place on the page.
  void Graph(const ParamStore& store, int channel, const QColor& colour) {
    const QRectF box = ReportGraphRect();
    Need(box.height() + 10);
    y_ = std::max(y_, box.top());
    if (p_ != nullptr) {
      p_->save();
      p_->translate(box.topLeft());
      p_->scale(box.width() / kGraphWidth, box.height() / kGraphHeight);
      PaintEqGraph(*p_, store, channel, GraphGeometry(kGraphWidth, kGraphHeight), colour);
      p_->restore();
    }
    y_ = box.bottom() + 10;
  }

 private:
  static double TableWidth(const std::vector<Column>& columns) {
    double w = 0;
    for (const Column& c : columns) w += c.width;
    return w;
  }
  void HeaderRow(const std::vector<Column>& columns) {
    if (p_ != nullptr) p_->fillRect(QRectF(kMargin, y_, TableWidth(columns), kRow), QColor(20, 50, 110));
    double x = kMargin;
    for (const Column& c : columns) {
      Text(QRectF(x + 3, y_, c.width - 6, kRow), c.title, ReportFont(8.5, true), Qt::white);
      x += c.width;
    }
    y_ += kRow;
  }
  void Text(const QRectF& box, const QString& text, const QFont& font, const QColor& colour = Qt::black) {
    if (p_ == nullptr) return;
    p_->setFont(font);
    p_->setPen(colour);
    p_->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  }
  void Footer() {
    if (p_ == nullptr) return;
    p_->setFont(ReportFont(8));
    p_->setPen(QColor(90, 90, 90));
    p_->drawText(QRectF(kMargin, kPageHeight - kMargin, kPageWidth - 2 * kMargin, 14), Qt::AlignCenter,
                 Tr(QT_TRANSLATE_NOOP("Report", "第 %1 页, 共 %2 页")).arg(page_).arg(total_));
  }

  QPainter* p_;
  QPdfWriter* writer_;
  int total_;
  int page_ = 0;
  double y_ = kMargin;
};

// The panel store as the window holds it for a channel: the setting's
// playing scene, and group B on the microphone page for channel 2.
ParamStore PanelStore(const Settings& settings, int channel) {
  ParamStore store;
  store.DeviceImage = settings.image;
  store.SceneFlag = settings.Scene();
  store.MicGroupB = channel == 2 ? 1 : 0;
  store.RebuildParamTable(store.Scene());
  return store;
}

int CellOf(int channel, int slot, int scene) { return CellAt(channel, DeviceIndex(channel, slot, scene)); }

bool IsFilterSlot(int channel, int slot) {
  return slot < EqBase[static_cast<std::size_t>(channel)] && (EqPosition(MakeAddress(channel, slot)) & 0xFF) == 0;
}

QString PageHeading(int channel) {
  QString heading = QCoreApplication::translate("Catalogue", PageTitle(PageOfChannel(channel)));
  const char* group = ChannelGroupTitle(channel);
  if (group != nullptr && *group != '\0') heading += QStringLiteral(" ") + QCoreApplication::translate("Catalogue", group);
  return heading;
}

class Report {
 public:
  explicit Report(const ReportData& data) : data_(data) {}

  void Render(Pages& pages) {
    shown_.clear();
    TitlePage(pages);
    for (const int channel : ReportEqChannels()) EqPage(pages, channel);
    OtherParameters(pages);
    pages.Finish();
  }

 private:
  QString Value(int cell) const {
    const ParamCell& c = ParamCells()[static_cast<std::size_t>(cell)];
    return Say(CellValueText(c, data_.settings.Value(c), texts_));
  }
  QString Name(int cell) const { return Say(CellName(ParamCells()[static_cast<std::size_t>(cell)], texts_)); }

  void TitlePage(Pages& pages) {
    pages.NewPage();
    pages.Gap(40);
    pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "设置报告")), 22, true);
    pages.Gap(16);
    pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "房间或文件: %1")).arg(Say(data_.title)), 12);
    pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "日期: %1")).arg(Say(data_.created)), 12);
    if (!data_.deviceCode.empty()) pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "设备代码: %1")).arg(Say(data_.deviceCode)), 12);
    if (data_.currentMode > 0 && data_.currentMode <= static_cast<int>(data_.modeNames.size())) {
      pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "当前模式: %1 %2"))
                     .arg(data_.currentMode)
                     .arg(Say(data_.modeNames[static_cast<std::size_t>(data_.currentMode - 1)])),
                 12);
    }
    const int scene = data_.settings.Scene();
    pages.Line(Tr(QT_TRANSLATE_NOOP("Report", "场景: %1")).arg(scene == 0 ? QCoreApplication::translate("Catalogue", "唱歌")
                                              : QCoreApplication::translate("Catalogue", "舞蹈")),
               12);
    pages.Gap(12);
    if (!data_.modeNames.empty()) {
      std::vector<QStringList> rows;
      for (std::size_t i = 0; i < data_.modeNames.size(); ++i)
        rows.push_back({QString::number(i + 1), Say(data_.modeNames[i])});
      pages.Table(Tr(QT_TRANSLATE_NOOP("Report", "设备模式")), {{Tr(QT_TRANSLATE_NOOP("Report", "模式")), 60}, {Tr(QT_TRANSLATE_NOOP("Report", "名称")), 300}}, rows);
    }
  }

  void EqPage(Pages& pages, int channel) {
    pages.NewPage();
    pages.Heading(PageHeading(channel));
    const ParamStore store = PanelStore(data_.settings, channel);
    pages.Graph(store, channel == 2 ? 1 : channel, skin::CurveColour(channel, channel == 2));

    const int scene = data_.settings.Scene();
    std::vector<QStringList> bands;
    for (int band = 0; band < BandCount[static_cast<std::size_t>(channel)]; ++band) {
      const int type = CellOf(channel, EqSlot(channel, band, 0), scene);
      const int freq = CellOf(channel, EqSlot(channel, band, 1), scene);
      const int gain = CellOf(channel, EqSlot(channel, band, 2), scene);
      const int peakQ = CellOf(channel, EqSlot(channel, band, 3), scene);
      const int shelfQ = CellOf(channel, EqSlot(channel, band, 4), scene);
      if (type < 0 || freq < 0 || gain < 0 || peakQ < 0 || shelfQ < 0) continue;
      const bool shelf = data_.settings.Value(ParamCells()[static_cast<std::size_t>(type)]) != 0;
      bands.push_back({QStringLiteral("EQ%1").arg(band + 1), Value(type), Value(freq), Value(gain),
                       Value(shelf ? shelfQ : peakQ)});
      // The Q the band does not use is listed with the other parameters.
      for (const int cell : {type, freq, gain, shelf ? shelfQ : peakQ}) shown_.insert(cell);
    }
    pages.Table(Tr(QT_TRANSLATE_NOOP("Report", "均衡段")),
                {{Tr(QT_TRANSLATE_NOOP("Report", "段")), 50}, {Tr(QT_TRANSLATE_NOOP("Report", "类型")), 70}, {Tr(QT_TRANSLATE_NOOP("Report", "频率")), 110}, {Tr(QT_TRANSLATE_NOOP("Report", "增益")), 110}, {Tr(QT_TRANSLATE_NOOP("Report", "Q值")), 90}}, bands);

    std::vector<QStringList> filters;
    for (int slot = 0; slot < EqBase[static_cast<std::size_t>(channel)]; ++slot) {
      if (!IsFilterSlot(channel, slot)) continue;
      const int cell = CellOf(channel, slot, scene);
      if (cell < 0) continue;
      filters.push_back({Name(cell), Value(cell)});
      shown_.insert(cell);
    }
    pages.Table(Tr(QT_TRANSLATE_NOOP("Report", "滤波器")), {{Tr(QT_TRANSLATE_NOOP("Report", "参数")), 300}, {Tr(QT_TRANSLATE_NOOP("Report", "值")), 130}}, filters);
  }

  // Every parameter not in a band or filter table, by page, and the system
  // values when the setting holds them.
  void OtherParameters(Pages& pages) {
    std::vector<std::vector<QStringList>> byPage(8);
    for (std::size_t i = 0; i < ParamCells().size(); ++i) {
      const ParamCell& cell = ParamCells()[i];
      if (shown_.count(static_cast<int>(i)) != 0) continue;
      if (!cell.inSetting && !data_.systemValues) continue;
      if (cell.page < 0 || cell.page >= 8) continue;
      byPage[static_cast<std::size_t>(cell.page)].push_back({Name(static_cast<int>(i)), Value(static_cast<int>(i))});
    }
    bool first = true;
    for (int page = 0; page < 8; ++page) {
      const auto& rows = byPage[static_cast<std::size_t>(page)];
      if (rows.empty()) continue;
      if (first) {
        pages.NewPage();
        pages.Heading(Tr(QT_TRANSLATE_NOOP("Report", "其它参数")));
        first = false;
      }
      pages.Table(QCoreApplication::translate("Catalogue", PageTitle(page)), {{Tr(QT_TRANSLATE_NOOP("Report", "参数")), 330}, {Tr(QT_TRANSLATE_NOOP("Report", "值")), 130}},
                  rows);
    }
  }

  const ReportData& data_;
  InstalledTranslation texts_;
  std::set<int> shown_;
};

}  // namespace

QRectF ReportGraphRect() {
  const double width = kPageWidth - 2 * kMargin;
  return QRectF(kMargin, kMargin + kHeading + 6, width, width * kGraphHeight / kGraphWidth);
}
int ReportGraphWidth() { return kGraphWidth; }
int ReportGraphHeight() { return kGraphHeight; }

const std::vector<int>& ReportEqChannels() {
  static const std::vector<int> channels{0, 1, 2, 3, 5, 7, 6, 8};
  return channels;
}

bool WriteSettingsReport(const ReportData& data, const QString& file, QString& error) {
  Report report(data);
  // First the page count, for "page N of M".
  Pages counting(nullptr, nullptr, 0);
  report.Render(counting);

  const QString scratch = file + QStringLiteral(".tmp");
  {
    QPdfWriter writer(scratch);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setResolution(kResolution);
    writer.setTitle(Tr(QT_TRANSLATE_NOOP("Report", "设置报告")) + QStringLiteral(" - ") + Say(data.title));
    writer.setCreator(QStringLiteral("dsp-control"));
    QPainter painter;
    if (!painter.begin(&writer)) {
      QFile::remove(scratch);
      error = QStringLiteral("cannot write %1").arg(file);
      return false;
    }
    // Everything is laid out in PDF points.
    painter.scale(kResolution / 72.0, kResolution / 72.0);
    Pages pages(&painter, &writer, counting.Count());
    report.Render(pages);
    if (!painter.end()) {
      QFile::remove(scratch);
      error = QStringLiteral("cannot write %1").arg(file);
      return false;
    }
  }
  QFile::remove(file);
  if (!QFile::rename(scratch, file)) {
    QFile::remove(scratch);
    error = QStringLiteral("cannot replace %1").arg(file);
    return false;
  }
  return true;
}

}  // namespace dsp
