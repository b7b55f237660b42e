#pragma once
// Every parameter of the processor as a cell of the device image, with a
// readable name and the text of its values, derived from the catalogue's
// tables: page, group, band and field. The editing model (history, A/B,
// diff, write plans) works on these cells; the device image is where the
// stores keep every parameter once, both scene copies and both microphone
// groups included.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "common/translator.h"

namespace dsp {

enum class CellKind {
  Value,      // sent as one value frame
  BandField,  // a field of an EQ band: sent as the band's frame
};

// A piece of a cell's name: text that stands as it is (band numbers,
// blanks, brackets), a text marked for translation in `context`, or a
// caption of the catalogue, which is translated and then loses its colon.
struct NamePiece {
  enum class Kind : std::uint8_t { Plain, Text, Caption };
  Kind kind = Kind::Plain;
  const char* context = nullptr;
  std::string text;
};

struct ParamCell {
  int row = 0;    // device image row (the channel the processor addresses)
  int index = 0;  // device image index in the row
  int slot = 0;   // panel slot in the row's channel
  // The scene copy the cell holds: 0 singing, 1 dancing, -1 for parameters
  // that have one copy for both scenes.
  int scene = -1;
  CellKind kind = CellKind::Value;
  int page = 0;                       // page index 0..7 (the tab that shows it)
  int band = -1;                      // 0-based EQ band of a band field
  int field = -1;                     // 0..4 of a band field
  std::string name;                   // e.g. "音乐 EQ3 增益", "主输出(舞蹈) 音乐音量"
  std::vector<NamePiece> pieces;      // the name in pieces, to be said in another language
  const ParamEntry* entry = nullptr;  // the catalogue row; null for band fields and bypass slots
  bool inSetting = true;              // part of a whole setting (channels 0..8), as a preset file holds it

  int Address() const { return row * 256 + slot; }
};

// Every recordable parameter cell, in device image order (row, index).
// Channel 9 holds the system values; its mode number and the user rights are
// left out: one is a command that recalls a stored mode, the other needs the
// system password.
const std::vector<ParamCell>& ParamCells();
// The cell at a device image position, or -1 when the position holds no
// recordable parameter (reserved slots, the transfer padding).
int CellAt(int row, int index);
// The number of cells (cell ids run from 0 to CellCount() - 1).
int CellCount();

// The cell's name in the language of `texts` (its `name` for the source
// texts).
std::string CellName(const ParamCell& cell, const Translator& texts);

// The cell of a panel slot in a device image row (its singing copy where the
// scenes keep two), or -1 when the slot holds no recordable parameter.
int CellOfSlot(int row, int slot);

// The highest step a cell takes; every cell starts at step 0.
int CellLimit(const ParamCell& cell);

// The text of a value as the panels show it, with its unit ("1000.0Hz",
// "-3.0dB", "1.00", "开", "唱歌", "12dB"); words in the language of `texts`,
// numbers and units as they are.
std::string CellValueText(const ParamCell& cell, std::int32_t value, const Translator& texts = SourceTexts());

// True for the parameters that automatic mode locks: the music page's
// equaliser, bypass and scene buttons, and the mix, phase and crossover
// slots of the output pages (both scene copies).
bool LockedInAutomaticMode(int row, int slot);

}  // namespace dsp
