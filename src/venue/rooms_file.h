#pragma once
// A venue's rooms file: one room a line, "NAME PORT", where NAME is letters,
// digits, '-', '_' and '.' and PORT any port name the program takes (a
// serial device, tcp://HOST:PORT, rfc2217://HOST:PORT). Words are separated
// by blanks or tabs; blank lines and comments (from a word that starts with
// '#' to the end of the line) are allowed; CR LF line ends and a UTF-8 byte
// order mark are accepted.
//
// The whole file is checked before any room is served: a line that is not
// two words, a name that is not a room name, a port name that cannot be
// used, a name or a port used twice, a file that is not text or names no
// room is refused with the line it is on. Two names for one network
// accepter (tcp:// and rfc2217:// to the same host and port, or the host
// in another letter case) count as the same port.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dsp {

struct RoomEntry {
  std::string name;
  std::string port;
  int line = 0;  // 1-based line of the file
};

struct RoomsParse {
  std::vector<RoomEntry> rooms;  // in file order; empty when refused
  // Why the file was refused, in English; empty when it was accepted.
  std::string error;
  int errorLine = 0;  // the line the error is on; 0: the file as a whole
  bool ok() const { return error.empty(); }
};

// True for a usable room name: 1..64 of letters, digits, '-', '_', '.'.
bool IsRoomName(std::string_view name);

// Checks and splits the text of a rooms file.
RoomsParse ParseRooms(std::string_view text);

// Reads and parses a rooms file; a file that cannot be read is refused
// with errorLine 0.
RoomsParse ReadRoomsFile(const std::filesystem::path& path);

// "FILE:LINE: error" (or "FILE: error" for the whole file), for standard
// error.
std::string RoomsErrorLine(const std::string& file, const RoomsParse& parse);

}  // namespace dsp
