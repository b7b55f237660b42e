#include "mainwindow/graph_image.h"

#include <QPainter>
#include <cmath>

namespace dsp {

namespace {
// The grid spans 10 Hz .. 24 kHz and -24 dB .. +12 dB.
constexpr double kLowHz = 10.0;
constexpr double kHighHz = 24000.0;
}  // namespace

GraphImage::GraphImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  const double w = width();
  const double h = height();
  auto xOf = [w](double hz) { return std::log10(hz / kLowHz) / std::log10(kHighHz / kLowHz) * w; };
  for (double decade = 10; decade <= 10000; decade *= 10) {
    for (int m = 1; m <= 9; ++m) {
      const double hz = decade * m;
      if (hz > kHighHz) break;
      p.setPen(m == 1 ? QColor(70, 70, 70) : QColor(38, 38, 38));
      const double x = std::round(xOf(hz));
      p.drawLine(QPointF(x, 0), QPointF(x, h));
    }
  }
  for (int n = 0; n <= 6; ++n) {
    const double y = std::round(n * h / 6.0);
    p.setPen(n == 4 ? QColor(90, 90, 90) : QColor(45, 45, 45));  // 0 dB line
    p.drawLine(QPointF(0, y), QPointF(w, y));
  }
}

}  // namespace dsp
