#pragma once
// `dsp-control rooms FILE COMMAND ...`: one command on every room of a
// rooms file at once (or on those named with --only), each room with its
// own port, link and stores, all on the one event loop, at most `jobs` of
// them served at the same time.
//
//   info            each room's device code, current mode and mode names
//   backup DIR      DIR/NAME.Wfxr for every room, each through a temporary
//                   file
//   check PRESET    downloads every room and compares it with PRESET,
//                   writing nothing
//   restore PRESET  the restore with verification on every room;
//                   --dry-run does what check does and writes nothing
//
// Standard output: one line per room as it finishes ("NAME: ok",
// "NAME: differs (N)", "NAME: FAILED: reason"), then a summary; or, with
// --json, one JSON array with an object per room in file order. Progress
// goes to standard error. SIGINT and SIGTERM stop every room cleanly.
// Exit status: 0 when every room succeeded (check and --dry-run: and
// matches), 1 otherwise, 2 for a usage error or a refused rooms file.

#include <cstdio>
#include <string>
#include <vector>

namespace dsp::cli {

struct RoomsRequest {
  std::string file;     // the rooms file
  std::string command;  // info, backup, check, restore
  std::string argument;  // DIR or PRESET; empty for info
  std::vector<std::string> only;  // room names; empty: every room
  int jobs = 0;                   // rooms served at once; 0: all (at most 64)
  bool json = false;
  bool dryRun = false;
};

inline constexpr int kMaxJobs = 64;

// Checks the words after "rooms" (FILE COMMAND [ARGUMENT]) and the options;
// false with the problem when they are wrong (exit status 2).
bool ValidateRooms(const RoomsRequest& request, std::string& problem);

// Runs a validated request on the event loop of the application (which
// must exist); returns the exit status.
int ExecuteRooms(const RoomsRequest& request, std::FILE* out, std::FILE* err, bool errIsTerminal);

}  // namespace dsp::cli
