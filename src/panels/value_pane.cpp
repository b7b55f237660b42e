#include "panels/value_pane.h"

namespace dsp {

ValuePane::ValuePane(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignCenter);
  setTextInteractionFlags(Qt::NoTextInteraction);
}

}  // namespace dsp
