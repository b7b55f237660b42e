#pragma once
// A small picture that reacts to a left click (band type pictures, graph
// band points, picture templates).

#include <QLabel>

namespace dsp {

class ClickPicture : public QLabel {
  Q_OBJECT
 public:
  explicit ClickPicture(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace dsp
