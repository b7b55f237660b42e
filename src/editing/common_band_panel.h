#pragma once
// The common band panel beside the graph (EQCotrolGrop): one band of the
// equaliser of the page shown, its number in COMEQlabel, its frequency, gain
// and Q in three text fields and on three sliders with spin buttons. The
// sliders and spin buttons carry the tags of the band's slots and act
// through the band's own fields; the text fields stand for the band's own
// fields (the edit pipeline applies what is typed into them there).
//
// The panel shows the current band of the page shown: after every refresh,
// on every page switch, and whenever a band is selected or one of its values
// changes. While the band's own fields are locked (the music equaliser in
// automatic mode) the panel's controls are locked with them.

#include <QCoreApplication>
#include <QString>
#include <array>

class QLineEdit;
class QObject;
class QWidget;

namespace dsp {

class ControlRegistry;
class ParamStore;
struct EditState;

class CommonBandPanel {
  Q_DECLARE_TR_FUNCTIONS(CommonBandPanel)

 public:
  // The panel's title for a band (1-based): "调节当前EQ段：N".
  static QString Title(int band) { return tr("调节当前EQ段：%1").arg(band); }

  CommonBandPanel(ControlRegistry& registry, const ParamStore& store, EditState& editing)
      : registry_(registry), store_(store), editing_(editing) {}

  // Points the panel at the band of `address` (a band frequency, gain or Q
  // slot) and shows its values; other addresses change nothing. A Q slot is
  // shown as given; with the frequency or gain slot the panel shows the Q
  // the band's type uses. Returns `address`.
  int ShowCurrentBand(int address);
  // The current band of an equaliser page (page index 0..6 and its
  // channel); other pages change nothing.
  void ShowPageBand(int page, int channel);
  // The band shown, again with its stored values and lock state.
  void ShowAgain();

  // The band's own text field a panel text field stands for; nullptr for
  // other widgets and before a band is shown.
  QLineEdit* BandFieldOf(const QObject* panelField) const;
  // The frequency slot of the band shown, -1 before the first.
  int ShownFrequencySlot() const { return freq_; }

 private:
  QWidget* Named(const char* name) const;

  ControlRegistry& registry_;
  const ParamStore& store_;
  EditState& editing_;
  int freq_ = -1;
  int gain_ = -1;
  int q_ = -1;
  // The row and the three slots the controls were last named after: they
  // are named again only when the panel shows other parameters, not on
  // every value change (a drag step).
  std::array<int, 4> named_{-1, -1, -1, -1};
};

}  // namespace dsp
