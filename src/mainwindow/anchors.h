#pragma once
// Anchored placement: a widget keeps the distance of each anchored edge to
// the same edge of its parent when the parent is resized; a widget anchored
// on two opposite edges stretches.

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace dsp {

enum Anchor { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kAll = 15 };

class Anchors {
 public:
  // Records the widget's current geometry and its parent's current size as
  // the design state. Register parents before their children.
  void Add(QWidget* widget, int edges);
  // Places every registered widget for its parent's current size.
  void Apply();

  // The geometry of a design rectangle in a parent of `designParent` size
  // after the parent became `parent` size.
  static QRect Place(const QRect& design, const QSize& designParent, const QSize& parent, int edges);

 private:
  struct Entry {
    QWidget* widget;
    QRect design;
    QSize designParent;
    int edges;
  };
  std::vector<Entry> entries_;
};

}  // namespace dsp
