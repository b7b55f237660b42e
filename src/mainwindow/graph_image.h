#pragma once
// The EQ graph canvas. For now it paints the black background with a
// logarithmic frequency grid and a decibel grid; the response curve and the
// band points are drawn over it by the graph code.

#include <QWidget>

namespace dsp {

class GraphImage : public QWidget {
  Q_OBJECT
 public:
  explicit GraphImage(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dsp
