#pragma once
// A read-only pane that shows a value as text (a slider's value, a code).

#include <QLabel>

namespace dsp {

class ValuePane : public QLabel {
  Q_OBJECT
 public:
  explicit ValuePane(QWidget* parent = nullptr);
};

}  // namespace dsp
