#pragma once
// The window for the keyboard and for screen readers: names and
// descriptions of the controls bound to no parameter (the title strip's
// buttons, the page tabs, the bottom bar's commands, the system page's
// fields and commands), and the tab order.

#include <QCoreApplication>
#include <vector>

class QWidget;

namespace dsp {

class WindowAccess {
  Q_DECLARE_TR_FUNCTIONS(WindowAccess)

 public:
  // Names and describes the window's controls that no parameter names (the
  // parameter controls are named by ControlNames when they are bound).
  static void DescribeCommands(QWidget& window);

  // Chains the focusable controls below `regions` in that order, each
  // region's controls in the order they were built (the page builders build
  // in reading order: a band's fields together, parameter columns one after
  // another). Controls the keyboard cannot use (a compound widget's parts)
  // stay out of the chain.
  static void ChainTabOrder(const std::vector<QWidget*>& regions);
};

}  // namespace dsp
