#include "graph/graph_paint.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "catalogue/catalogue.h"
#include "panels/skin.h"
#include "store/param_store.h"

namespace dsp {
namespace {

QColor ToQColor(const Rgb& c) {
  return QColor(c.r, c.g, c.b);
}

// The cardinal spline through the points as cubic Bezier segments: the
// tangent at a point is (next - previous) scaled by the tension, the end
// points use themselves as their missing neighbour.
QPainterPath CardinalSpline(const std::vector<CurvePoint>& points, double tension) {
  QPainterPath path;
  const int n = static_cast<int>(points.size());
  if (n == 0) return path;
  auto at = [&points, n](int i) {
    const CurvePoint& p = points[static_cast<std::size_t>(std::clamp(i, 0, n - 1))];
    return QPointF(p.x, p.y);
  };
  path.moveTo(at(0));
  const double k = tension / 3.0;
  for (int i = 0; i + 1 < n; ++i) {
    const QPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    path.cubicTo(p1 + (p2 - p0) * k, p2 - (p3 - p1) * k, p2);
  }
  return path;
}

constexpr double kCurveTension = 0.4;
constexpr double kCurvePen = 1.8;
constexpr int kComparisonFaintAlpha = 110;  // the current curve in a comparison

}  // namespace

void PaintGrid(QPainter& p, const GraphGeometry& geometry) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const GridLine& line : GridLines(geometry)) {
    p.setPen(QPen(ToQColor(line.colour), 1));
    p.drawLine(line.x1, line.y1, line.x2, line.y2);
  }
  p.restore();
}

void PaintCurvePath(QPainter& p, const std::vector<CurvePoint>& points, const QColor& colour) {
  if (points.empty() || colour.alpha() == 0) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(colour, kCurvePen);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(CardinalSpline(points, kCurveTension));
  p.restore();
}

PaintedGraph PaintEqGraph(QPainter& p, const ParamStore& store, int channel, const GraphGeometry& geometry,
                          const QColor& colour) {
  PaintedGraph painted;
  p.save();
  p.setClipRect(QRectF(0, 0, geometry.Width(), geometry.Height()));
  p.fillRect(QRectF(0, 0, geometry.Width(), geometry.Height()), Qt::black);
  PaintGrid(p, geometry);
  BandSlots bandSlots;
  const EqDrawing d = bandSlots.DrawEq(store, AllBands, channel, geometry, false);
  PaintCurvePath(p, d.curve, colour);
  painted.curve = d.curve;
  p.setClipping(false);
  for (const PointMove& m : d.moves) {
    if (d.visible && !(*d.visible)[static_cast<std::size_t>(m.point)]) continue;
    const int size = PointSize(m.point);
    skin::PaintBandPoint(p, QRectF(m.left, m.top, size, size), m.point);
    painted.points.push_back(m);
  }
  p.restore();
  return painted;
}

QImage CurveComparison(const ParamStore& now, const ParamStore& other, int channel, const QSize& size,
                       const QColor& colour, const QString& caption) {
  const GraphGeometry geometry(size.width(), size.height());
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  PaintGrid(p, geometry);
  BandSlots bandSlots;
  QColor faint = colour;
  faint.setAlpha(kComparisonFaintAlpha);
  PaintCurvePath(p, bandSlots.DrawEq(now, AllBands, channel, geometry, false).curve, faint);
  PaintCurvePath(p, bandSlots.DrawEq(other, AllBands, channel, geometry, false).curve, colour);
  p.setPen(Qt::white);
  p.setFont(skin::UiFont(11, true));
  p.drawText(QRect(4, 2, size.width() - 8, 16), Qt::AlignLeft | Qt::AlignVCenter, caption);
  return image;
}

std::vector<QImage> CurveComparisons(const ParamStore& now, const ParamStore& other, const QSize& size) {
  std::vector<QImage> pictures;
  // In page order; group B of the microphones is channel 1 with MicGroupB.
  for (const int channel : {0, 1, 2, 3, 5, 7, 6, 8}) {
    auto shown = [channel](const ParamStore& source) {
      ParamStore s;
      s.DeviceImage = source.DeviceImage;
      s.SceneFlag = source.DeviceImage[0][1];
      s.MicGroupB = channel == 2 ? 1 : 0;
      s.RebuildParamTable(s.Scene());
      return s;
    };
    const ParamStore a = shown(now);
    const ParamStore b = shown(other);
    const int drawn = channel == 2 ? 1 : channel;
    const GraphGeometry geometry(size.width(), size.height());
    BandSlots bandSlots;
    const auto before = bandSlots.DrawEq(a, AllBands, drawn, geometry, false).curve;
    const auto after = bandSlots.DrawEq(b, AllBands, drawn, geometry, false).curve;
    if (before == after) continue;
    QString caption = QCoreApplication::translate("Catalogue", PageTitle(PageOfChannel(channel)));
    const char* group = ChannelGroupTitle(channel);
    if (group != nullptr && *group != '\0') caption += QLatin1Char(' ') + QCoreApplication::translate("Catalogue", group);
    pictures.push_back(CurveComparison(a, b, drawn, size, skin::CurveColour(channel, channel == 2), caption));
  }
  return pictures;
}

}  // namespace dsp
