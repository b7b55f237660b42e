#include "editmodel/param_cells.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/rounding.h"
#include "eq/scales.h"
#include "store/param_store.h"

namespace dsp {

namespace {

constexpr int kModeNumberSlot = 2;  // a write recalls a stored mode
constexpr int kRightsSlot = 12;     // user or manager: needs the system password

// A caption as a name: without its colon, and without the blank that spaces
// out two Chinese characters on the page ("静 音").
std::string BareCaption(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption.substr(i, 3) == "：") {  // untranslated: the full-width colon of a caption
      i += 2;
      continue;
    }
    if (caption[i] == ':') continue;
    if (caption[i] == ' ' && i > 0 && i + 1 < caption.size() &&
        static_cast<unsigned char>(caption[i - 1]) >= 0x80 &&
        static_cast<unsigned char>(caption[i + 1]) >= 0x80) {
      continue;
    }
    out += caption[i];
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

const ParamEntry* EntryAt(int channel, int slot) {
  for (const ParamEntry& e : Catalogue()) {
    if (e.channel == channel && e.slot == slot) return &e;
  }
  return nullptr;
}

const ParamEntry* RowMate(const ParamEntry& entry, int rowOffset, ParamKind kind) {
  if (entry.column < 0) return nullptr;
  for (const ParamEntry& e : Catalogue()) {
    if (e.channel == entry.channel && e.column == entry.column && e.row == entry.row + rowOffset &&
        e.kind == kind && !e.caption.empty()) {
      return &e;
    }
  }
  return nullptr;
}

// A name as it is built, piece by piece.
class Name {
 public:
  Name& Plain(std::string text) { return Add(NamePiece::Kind::Plain, nullptr, std::move(text)); }
  Name& Text(const char* context, std::string text) {
    return Add(NamePiece::Kind::Text, context, std::move(text));
  }
  Name& Caption(std::string caption) { return Add(NamePiece::Kind::Caption, "Catalogue", std::move(caption)); }
  Name& Then(const Name& other) {
    pieces_.insert(pieces_.end(), other.pieces_.begin(), other.pieces_.end());
    return *this;
  }
  const std::vector<NamePiece>& Pieces() const { return pieces_; }

 private:
  Name& Add(NamePiece::Kind kind, const char* context, std::string text) {
    pieces_.push_back({kind, context, std::move(text)});
    return *this;
  }
  std::vector<NamePiece> pieces_;
};

// The parameter's own name on its page, from its catalogue row.
Name EntryName(const ParamEntry& entry) {
  Name name;
  switch (entry.kind) {
    case ParamKind::Sign:
      // A sign button sits in the row of the level it belongs to.
      if (const ParamEntry* level = RowMate(entry, 0, ParamKind::Slider))
        name.Caption(level->caption).Plain(" ");
      return name.Text("EditModel", DSP_TRANSLATE_NOOP("EditModel", "相位"));
    case ParamKind::TwoState:
      if (!entry.items.empty()) name.Caption(entry.items.front());
      return name;
    case ParamKind::Pair:
      if (entry.items.size() == 2)
        name.Text("Catalogue", entry.items[0]).Plain("/").Text("Catalogue", entry.items[1]);
      return name;
    default:
      break;
  }
  std::string bare = BareCaption(entry.caption);
  name.Caption(entry.caption);
  // The current volumes of the title strip are captioned by their source
  // alone ("音乐"); their trio role says what they are.
  if (entry.channel == 9 && entry.kind == ParamKind::Slider && entry.hint == "0") {
    const char* volume = DSP_TRANSLATE_NOOP("EditModel", "音量");
    name.Text("EditModel", volume);
    bare += volume;
  }
  // A caption that appears twice on a channel ("Q值：" of the subwoofer's
  // two filters) is told apart by the row above it.
  int same = 0;
  for (const ParamEntry& e : Catalogue()) {
    if (e.channel == entry.channel && BareCaption(e.caption) == bare) ++same;
  }
  if (same > 1) {
    for (ParamKind kind : {ParamKind::Slider, ParamKind::Choice}) {
      if (const ParamEntry* above = RowMate(entry, -1, kind)) {
        Name told;
        return told.Caption(above->caption).Plain(" ").Then(name);
      }
    }
  }
  return name;
}

Name BandFieldName(int band, int field) {
  Name name;
  name.Plain("EQ" + std::to_string(band + 1) + " ").Caption(BandFieldCaption(field));
  if (field == 4) name.Plain(std::string("(") + BandTypeItems[1] + "/" + BandTypeItems[2] + ")");
  return name;
}

Name Prefix(int row, int scene) {
  Name prefix;
  prefix.Caption(PageTitle(PageOfChannel(row)));
  const std::string group = ChannelGroupTitle(row);
  if (!group.empty()) prefix.Plain(" ").Caption(group);
  if (scene == 1) {
    // The dancing copy of a scene pair; the singing copy is the plain name.
    const ParamEntry* scenes = EntryAt(0, 1);
    prefix.Plain("(");
    if (scenes != nullptr && scenes->items.size() == 2) {
      prefix.Text("Catalogue", scenes->items[1]);
    } else {
      prefix.Plain("1");
    }
    prefix.Plain(")");
  }
  return prefix;
}

std::string Say(const std::vector<NamePiece>& pieces, const Translator& texts) {
  std::string out;
  for (const NamePiece& piece : pieces) {
    switch (piece.kind) {
      case NamePiece::Kind::Plain:
        out += piece.text;
        break;
      case NamePiece::Kind::Text:
        out += texts.Translate(piece.context, piece.text.c_str());
        break;
      case NamePiece::Kind::Caption:
        out += BareCaption(texts.Translate(piece.context, piece.text.c_str()));
        break;
    }
  }
  return out;
}

struct CellTable {
  std::vector<ParamCell> cells;
  std::array<std::array<std::int16_t, kDeviceSlots>, kStoreChannels> at{};
};

void AddCell(CellTable& t, ParamCell cell, const Name& own) {
  cell.page = PageOfChannel(cell.row);
  cell.inSetting = cell.row <= 8;
  Name name = Prefix(cell.row, cell.scene);
  name.Plain(" ").Then(own);
  cell.pieces = name.Pieces();
  cell.name = Say(cell.pieces, SourceTexts());
  t.cells.push_back(std::move(cell));
}

CellTable Build() {
  CellTable t;
  for (auto& row : t.at) row.fill(-1);
  const ParamEntry* bypass = EntryAt(0, 3);
  for (int row = 0; row <= 8; ++row) {
    const int channel = row == 2 ? 1 : row;  // group B is laid out as group A
    const int limit = TransferLength[static_cast<std::size_t>(row)];
    for (int slot = 0; slot < BlockLength[static_cast<std::size_t>(row)]; ++slot) {
      ParamCell cell;
      cell.row = row;
      cell.slot = slot;
      Name own;
      const ParamEntry* entry = EntryAt(channel, slot);
      const bool eq = HasEqualiser(row);
      const int base = eq ? EqBase[static_cast<std::size_t>(row)] : 0;
      if (entry != nullptr) {
        cell.entry = entry;
        own = EntryName(*entry);
      } else if (eq && slot >= base && (slot - base) / 5 < BandCount[static_cast<std::size_t>(row)]) {
        cell.kind = CellKind::BandField;
        cell.band = (slot - base) / 5;
        cell.field = (slot - base) % 5;
        own = BandFieldName(cell.band, cell.field);
      } else if (eq && slot == base - 1 && bypass != nullptr) {
        cell.entry = bypass;
        own = EntryName(*bypass);
      } else {
        continue;  // reserved: no widget, no parameter
      }
      const int first = DeviceIndex(row, slot, 0);
      const int second = DeviceIndex(row, slot, 1);
      for (int scene = 0; scene < (first == second ? 1 : 2); ++scene) {
        const int index = scene == 0 ? first : second;
        if (index >= limit) continue;
        cell.index = index;
        cell.scene = first == second ? -1 : scene;
        AddCell(t, cell, own);
      }
    }
  }
  for (const ParamEntry& entry : Catalogue()) {
    if (entry.channel != 9 || entry.slot == kModeNumberSlot || entry.slot == kRightsSlot) continue;
    ParamCell cell;
    cell.row = 9;
    cell.slot = entry.slot;
    cell.index = entry.slot;  // system values keep their slot as index
    cell.entry = &entry;
    AddCell(t, cell, EntryName(entry));
  }
  std::sort(t.cells.begin(), t.cells.end(), [](const ParamCell& a, const ParamCell& b) {
    return a.row != b.row ? a.row < b.row : a.index < b.index;
  });
  for (std::size_t i = 0; i < t.cells.size(); ++i) {
    const ParamCell& c = t.cells[i];
    t.at[static_cast<std::size_t>(c.row)][static_cast<std::size_t>(c.index)] = static_cast<std::int16_t>(i);
  }
  return t;
}

const CellTable& Table() {
  static const CellTable table = Build();
  return table;
}

std::string OnOff(std::int32_t value, const Translator& texts) {
  return texts.Translate("EditModel", value != 0 ? DSP_TRANSLATE_NOOP("EditModel", "开")
                                                 : DSP_TRANSLATE_NOOP("EditModel", "关"));
}

std::string Item(const std::vector<std::string>& items, std::int32_t value, const Translator& texts) {
  if (value >= 0 && value < static_cast<std::int32_t>(items.size()))
    return texts.Translate("Catalogue", items[static_cast<std::size_t>(value)].c_str());
  return std::to_string(value);
}

}  // namespace

const std::vector<ParamCell>& ParamCells() {
  return Table().cells;
}

int CellAt(int row, int index) {
  if (row < 0 || row >= kStoreChannels || index < 0 || index >= kDeviceSlots) return -1;
  return Table().at[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
}

int CellCount() {
  return static_cast<int>(Table().cells.size());
}

int CellOfSlot(int row, int slot) {
  if (row < 0 || row >= kStoreChannels || slot < 0) return -1;
  const int cell = CellAt(row, DeviceIndex(row, slot, 0));
  return cell >= 0 && ParamCells()[static_cast<std::size_t>(cell)].slot == slot ? cell : -1;
}

int CellLimit(const ParamCell& cell) {
  // Band fields 0..3 have the value roles 1..4; the shelf Q (field 4) is a Q.
  if (cell.kind == CellKind::BandField)
    return RoleLimit(role::BandType + std::min(cell.field, 3), cell.field == 4);
  return cell.entry != nullptr ? cell.entry->max : 0;
}

std::string CellName(const ParamCell& cell, const Translator& texts) {
  return Say(cell.pieces, texts);
}

std::string CellValueText(const ParamCell& cell, std::int32_t value, const Translator& texts) {
  if (cell.kind == CellKind::BandField) {
    switch (cell.field) {
      case 0:
        return Item({BandTypeItems.begin(), BandTypeItems.end()}, value, SourceTexts());
      case 1:
        return std::string(StepText(StepTable::Freq, value)) + "Hz";
      case 2:
        return FormatFixed(GainDb(value), 1) + "dB";
      default:
        return StepText(StepTable::Q, value);
    }
  }
  if (cell.entry == nullptr) return std::to_string(value);
  const ParamEntry& e = *cell.entry;
  switch (e.kind) {
    case ParamKind::Slider: {
      if (e.role == role::None) return std::to_string(value);
      std::string text = RoleText(e.role, value);
      // The release pane is preceded by "Atk x": the release is a multiple of the attack.
      if (e.role == role::Release) text = "Atk x" + text;
      return text + e.unit;
    }
    case ParamKind::Sign:
      return value != 0 ? "+" : "-";
    case ParamKind::TwoState:
      return OnOff(value, texts);
    case ParamKind::Radio:
    case ParamKind::Choice:
    case ParamKind::Pair:
      return Item(e.items, value, texts);
  }
  return std::to_string(value);
}

bool LockedInAutomaticMode(int row, int slot) {
  switch (row) {
    case 0:
      return slot == 1 || slot >= 3;
    case 5:
    case 6:
    case 7:
      return slot >= 0 && slot <= 19;
    case 8:
      return slot >= 0 && slot <= 17;
    default:
      return false;
  }
}

}  // namespace dsp
