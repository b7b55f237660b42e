// Parses arbitrary bytes as a rooms file. The reader must never crash or
// read out of bounds; an accepted file names at least one room, every room
// with a valid name and a usable port, no name and no port twice, and the
// error line is set exactly when the file is refused.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "ports/port_address.h"
#include "venue/rooms_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const dsp::RoomsParse parse = dsp::ParseRooms(text);
  if (parse.ok()) {
    if (parse.rooms.empty()) std::abort();
    std::set<std::string> names;
    int lastLine = 0;
    for (const dsp::RoomEntry& room : parse.rooms) {
      if (!dsp::IsRoomName(room.name) || !dsp::ParsePortName(room.port)) std::abort();
      if (!names.insert(room.name).second) std::abort();
      if (room.line <= lastLine) std::abort();
      lastLine = room.line;
    }
  } else {
    if (!parse.rooms.empty() || parse.errorLine < 0) std::abort();
    if (dsp::RoomsErrorLine("f", parse).empty()) std::abort();
  }
  return 0;
}
