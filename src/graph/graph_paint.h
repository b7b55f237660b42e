#pragma once
// The EQ graph's drawing on any painter, shared by the window's canvas and
// the printed report: the grid, the response curve as a cardinal spline,
// and a whole channel's graph (grid, curve, band points at their places)
// computed by the same core code the window draws with. Coordinates are the
// graph's logical pixels (GraphGeometry); a painter with a scale draws the
// same graph at any resolution, as vectors on a PDF page.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

#include "eq/band_slots.h"
#include "eq/graph_geometry.h"

class QPainter;

namespace dsp {

class ParamStore;

// The grid lines of a geometry (no background fill).
void PaintGrid(QPainter& p, const GraphGeometry& geometry);
// The response curve through `points`.
void PaintCurvePath(QPainter& p, const std::vector<CurvePoint>& points, const QColor& colour);

// What PaintEqGraph drew: the curve's points and the band points shown,
// in the geometry's coordinates (for checks and callers that label them).
struct PaintedGraph {
  std::vector<CurvePoint> curve;
  std::vector<PointMove> points;  // visible points only, with their top-left corners
};

// A channel's whole graph as the window shows it with every band drawn:
// the black canvas, the grid, the summed curve in `colour`, then the
// visible band and filter points. The store's panel table must hold the
// channel (the microphone page's group B is channel 1 with MicGroupB set).
PaintedGraph PaintEqGraph(QPainter& p, const ParamStore& store, int channel, const GraphGeometry& geometry,
                          const QColor& colour);

// A small picture of a channel's curve now (faint) and in another setting
// (bright), with `caption` in a corner: the load question shows one for
// each equaliser page a file changes. Both stores' panel tables must hold
// the channel as PaintEqGraph needs them.
QImage CurveComparison(const ParamStore& now, const ParamStore& other, int channel, const QSize& size,
                       const QColor& colour, const QString& caption);

// The load question's pictures: one for each equaliser (microphone groups
// apart) whose curve differs between the two device images, in page order,
// each captioned with its page (and group).
std::vector<QImage> CurveComparisons(const ParamStore& now, const ParamStore& other, const QSize& size);

}  // namespace dsp
