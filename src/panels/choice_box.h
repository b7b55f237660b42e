#pragma once
// A choice box that draws its own drop-down arrow to match the skin.

#include <QComboBox>

namespace dsp {

class ChoiceBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ChoiceBox(QWidget* parent = nullptr) : QComboBox(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dsp
