#pragma once
// Builds the eight pages from the catalogue tables: a band strip per
// equaliser, parameter rows per channel and the system page's groups.

#include <QCoreApplication>
#include <QRect>
#include <vector>

class QFrame;
class QWidget;

namespace dsp {

struct BandSet;
struct ParamEntry;

class PageBuilder {
  Q_DECLARE_TR_FUNCTIONS(PageBuilder)

 public:
  // Band columns are this wide, and the microphone strip scrolls by it.
  static constexpr int kBandPitch = 72;
  static constexpr int kVisibleMicBands = 10;
  static constexpr int kRowPitch = 22;

  // Page index 0..6: an equaliser page; 7: the system page.
  QFrame* BuildPage(QWidget* parent, int page);

  // The three current-volume sliders with captions and panes, from x.
  void BuildVolumeGroup(QWidget* strip, int x);

 private:
  QFrame* BuildEqPage(QWidget* parent, int page);
  QFrame* BuildSystemPage(QWidget* parent);
  // The band columns of an equaliser; returns the strip's width.
  int BuildBandStrip(QWidget* page, const BandSet& set);
  void BuildBandColumn(QWidget* strip, const BandSet& set, int band, int x);
  void BuildParamArea(QWidget* page, const std::vector<int>& channels, const QRect& area);
  // One row of a parameter column (the entries share column and row).
  void BuildRow(QWidget* parent, const std::vector<const ParamEntry*>& entries, const QRect& rowRect);
  // A slider row of a system group: caption, slider, pane.
  void BuildPlainSliderRow(QWidget* parent, const ParamEntry& entry, const QRect& rowRect, int captionWidth);
  void BuildRadioMembers(QWidget* parent, const ParamEntry& entry, int x, int y, int memberWidth);
};

}  // namespace dsp
