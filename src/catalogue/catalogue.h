#pragma once
// The parameter catalogue as data: which widgets show which slot of which
// channel, with their kind, range, role, captions and place on the page.
// The page builders create the widgets from these rows and the control
// registry binds them by name, so both read the same table.

#include <string>
#include <vector>

namespace dsp {

enum class ParamKind {
  Slider,    // slider with a value pane (and maybe spin buttons)
  Sign,      // 15 x 15 sign button "+"/"-"
  TwoState,  // picture button with state 0/1
  Radio,     // 13 x 13 picture buttons, value = member index
  Pair,      // two picture buttons, value 0 first / 1 second
  Choice,    // choice box with fixed items
};

struct ParamEntry {
  int channel = 0;
  int slot = 0;
  ParamKind kind = ParamKind::Slider;
  std::string primary;               // widget in PrimaryControl
  std::string companion;             // CompanionControl: value pane or second button
  std::string stepper;               // StepperControl: spin buttons
  int max = 0;                       // slider maximum
  int role = 0;                      // value pane role
  std::string caption;               // caption label in front of the row
  std::string unit;                  // unit label behind the pane
  std::vector<std::string> items;    // choice items, or captions of radio/pair members
  std::vector<std::string> members;  // radio/pair member names in value order
  std::string hint;                  // hint text of the primary widget ("" for none)
  // Place on the page: column and row of the parameter area; column -1 means
  // the widget is placed by a dedicated builder (bottom bar, title strip,
  // system page).
  int column = -1;
  int row = 0;
  bool hidden = false;  // the widgets exist but are not shown
};

// Every non-band parameter of channels 0..9, in channel and slot order.
const std::vector<ParamEntry>& Catalogue();

// One equaliser's band rows.
struct BandSet {
  int channel;
  std::string prefix;       // widget prefix: "Mus", "Mic", "Echo", ...
  std::string spinPrefix;   // spin buttons' prefix ("MIc" on the microphone page)
  std::string labelPrefix;  // band number label prefix: "Mus", "Mic", "Eff", ...
  int bands;
};

const std::vector<BandSet>& BandSets();
// The band set of a channel, or nullptr for channels without an equaliser.
const BandSet* BandSetOf(int channel);

// Names of band b's (from 1) widgets.
struct BandNames {
  std::string modeBox, peqPicture, lsqPicture, hsqPicture;
  std::string freqEdit, freqSpin, gainEdit, gainSpin, gainBar, qEdit, qSpin, numberLabel;
};
BandNames NamesOfBand(const BandSet& set, int band);

// The page shown for a page index 0..7 and the channels it holds.
int PageChannel(int page);

// The caption of page tab 0..7 ("音乐" .. "系统"); empty outside.
const char* PageTitle(int page);
// The page index 0..7 that shows a channel 0..9 (the microphone groups share
// page 1, echo and reverb page 2); -1 outside.
int PageOfChannel(int channel);
// The group a channel forms on its page where a page holds two: "A组" and
// "B组" for the microphone groups, "回声" and "混响" for the effects; empty
// for the others.
const char* ChannelGroupTitle(int channel);
// The caption of a band field 0..4 (type, frequency, gain, peaking Q, shelf
// Q) as the common band panel labels them, without the colon.
const char* BandFieldCaption(int field);

}  // namespace dsp
