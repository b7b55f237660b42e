#include "venue/rooms_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

#include "ports/port_address.h"

namespace dsp {

namespace {

constexpr std::size_t kMaxNameLength = 64;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// True when `text` is well-formed UTF-8 without NUL or other control
// characters but tabs, line ends and form feeds.
bool IsText(std::string_view text, std::size_t& badOffset) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F) {
        badOffset = i;
        return false;
      }
      ++i;
      continue;
    }
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      code = c & 0x07;
    } else {
      badOffset = i;
      return false;
    }
    if (i + length > text.size()) {
      badOffset = i;
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        badOffset = i;
        return false;
      }
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      badOffset = i;
      return false;
    }
    i += length;
  }
  return true;
}

int LineOf(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i)
    if (text[i] == '\n') ++line;
  return line;
}

// What makes two port names the same port: a serial name as it is, a
// network name by its host (in lower case) and port number, whatever the
// scheme.
std::string PortKey(const std::string& port, const PortAddress& address) {
  if (address.kind == PortKind::Serial) return "serial:" + port;
  std::string host = address.host;
  for (char& c : host)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return "net:" + host + ":" + std::to_string(address.port);
}

RoomsParse Refused(int line, std::string error) {
  RoomsParse parse;
  parse.error = std::move(error);
  parse.errorLine = line;
  return parse;
}

}  // namespace

bool IsRoomName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

RoomsParse ParseRooms(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::size_t bad = 0;
  if (!IsText(text, bad)) return Refused(LineOf(text, bad), "not a text file (a byte that is not UTF-8 text)");

  RoomsParse parse;
  std::map<std::string, int> names;  // name -> line
  std::map<std::string, int> ports;  // port key -> line
  int lineNumber = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++lineNumber;
    const bool last = end == text.size();
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (IsBlank(line[i]) || line[i] == '\f' || line[i] == '\r')) ++i;
      if (i >= line.size() || line[i] == '#') break;
      const std::size_t from = i;
      while (i < line.size() && !IsBlank(line[i]) && line[i] != '\f' && line[i] != '\r') ++i;
      words.push_back(line.substr(from, i - from));
    }
    if (!words.empty()) {
      if (words.size() != 2)
        return Refused(lineNumber, "a room is two words, NAME PORT; this line has " + std::to_string(words.size()));
      const std::string name(words[0]);
      const std::string port(words[1]);
      if (!IsRoomName(name))
        return Refused(lineNumber, "'" + name +
                                       "' is not a room name (1 to 64 letters, digits, '-', '_' and '.')");
      std::string why;
      const auto address = ParsePortName(port, &why);
      if (!address) return Refused(lineNumber, "room " + name + ": " + why);
      if (const auto seen = names.find(name); seen != names.end())
        return Refused(lineNumber, "room " + name + " is already named on line " + std::to_string(seen->second));
      const std::string key = PortKey(port, *address);
      if (const auto seen = ports.find(key); seen != ports.end())
        return Refused(lineNumber, "room " + name + ": port " + port + " is already used on line " +
                                       std::to_string(seen->second));
      names.emplace(name, lineNumber);
      ports.emplace(key, lineNumber);
      parse.rooms.push_back(RoomEntry{name, port, lineNumber});
    }
    if (last) break;
  }
  if (parse.rooms.empty()) return Refused(0, "names no room");
  return parse;
}

RoomsParse ReadRoomsFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Refused(0, "is a folder, not a rooms file");
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return Refused(0, "cannot be read");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Refused(0, "cannot be read");
  return ParseRooms(text);
}

std::string RoomsErrorLine(const std::string& file, const RoomsParse& parse) {
  if (parse.errorLine > 0) return file + ":" + std::to_string(parse.errorLine) + ": " + parse.error;
  return file + ": " + parse.error;
}

}  // namespace dsp
