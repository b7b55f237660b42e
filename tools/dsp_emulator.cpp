// dsp-emulator: plays the processor on a pseudo-terminal, for tests and for
// trying the control program without hardware. Prints the terminal's path
// (one line) and serves until SIGINT or SIGTERM.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "emulator/emulator.h"
#include "posix/pty.h"

namespace {

volatile sig_atomic_t gStop = 0;

void OnSignal(int) {
  gStop = 1;
}

void Usage(std::ostream& out) {
  out << "usage: dsp-emulator [options]\n"
         "Serves an emulated audio processor on a pseudo-terminal and prints the\n"
         "terminal's path on the first line of standard output.\n"
         "\n"
         "  --link PATH        also make PATH a symbolic link to the terminal\n"
         "                     (removed on exit)\n"
         "  --silent-after N   answer the first N frames, then stay silent\n"
         "  --garbage          put 1..5 stray bytes before every reply\n"
         "  --chunk N          deliver replies in pieces of N bytes\n"
         "  --bad-checksum     every block frame reply carries a wrong checksum\n"
         "  --ack-aa           acknowledge with FE AA instead of FE BB\n"
         "  --ignore-uploads   acknowledge channel block uploads but keep the setting\n"
         "  --lose-every N     lose every Nth parameter or band frame on the line\n"
         "                     (neither applied nor acknowledged)\n"
         "  --lose-ack-every N apply every Nth parameter or band frame but lose\n"
         "                     its acknowledgement\n"
         "  --seed N           seed for the stray bytes and --random-image\n"
         "  --random-image     start from a random setting instead of the factory one\n"
         "  --log FILE         append every received frame (hex) to FILE\n"
         "  -v                 print every received frame on standard error\n"
         "  --help             show this text\n"
         "Exits cleanly on SIGINT and SIGTERM.\n";
}

bool ParseNumber(const char* text, long& out) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < 0) return false;
  out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  dsp::EmulatorFaults faults;
  std::string linkPath;
  std::string logPath;
  bool verbose = false;
  bool randomImage = false;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto needValue = [&](long& out) {
      if (i + 1 >= argc || !ParseNumber(argv[i + 1], out)) {
        std::cerr << "dsp-emulator: " << arg << " needs a non-negative number\n";
        std::exit(2);
      }
      ++i;
    };
    long n = 0;
    if (arg == "--help" || arg == "-h") {
      Usage(std::cout);
      return 0;
    } else if (arg == "--link" && i + 1 < argc) {
      linkPath = argv[++i];
    } else if (arg == "--log" && i + 1 < argc) {
      logPath = argv[++i];
    } else if (arg == "--silent-after") {
      needValue(n);
      faults.silentAfter = n;
    } else if (arg == "--lose-every") {
      needValue(n);
      faults.loseEvery = n;
    } else if (arg == "--lose-ack-every") {
      needValue(n);
      faults.loseAckEvery = n;
    } else if (arg == "--chunk") {
      needValue(n);
      faults.chunk = static_cast<std::size_t>(n);
    } else if (arg == "--seed") {
      needValue(n);
      faults.seed = static_cast<std::uint32_t>(n);
    } else if (arg == "--garbage") {
      faults.garbage = true;
    } else if (arg == "--bad-checksum") {
      faults.badChecksum = true;
    } else if (arg == "--ack-aa") {
      faults.ackAA = true;
    } else if (arg == "--ignore-uploads") {
      faults.ignoreUploads = true;
    } else if (arg == "--random-image") {
      randomImage = true;
    } else if (arg == "-v") {
      verbose = true;
    } else {
      std::cerr << "dsp-emulator: unknown option " << arg << "\n";
      Usage(std::cerr);
      return 2;
    }
  }

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  std::unique_ptr<dsp::posix::PtyPair> pty;
  try {
    pty = std::make_unique<dsp::posix::PtyPair>();
    // Keep the terminal side open so that clients may come and go.
    pty->holdDevice();
  } catch (const std::exception& e) {
    std::cerr << "dsp-emulator: " << e.what() << "\n";
    return 1;
  }

  if (!linkPath.empty()) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(linkPath.c_str());
    if (symlink(pty->devicePath().c_str(), linkPath.c_str()) != 0) {
      std::cerr << "dsp-emulator: cannot link " << linkPath << ": " << std::strerror(errno) << "\n";
      return 1;
    }
  }

  std::ofstream log;
  if (!logPath.empty()) {
    log.open(logPath, std::ios::app);
    if (!log) {
      std::cerr << "dsp-emulator: cannot write " << logPath << "\n";
      if (!linkPath.empty()) unlink(linkPath.c_str());
      return 1;
    }
  }

  dsp::ProcessorEmulator emulator(faults);
  if (randomImage)
    emulator.FillRandom(faults.seed);
  else
    emulator.LoadFactorySetting();

  std::cout << pty->devicePath() << std::endl;

  std::size_t logged = 0;
  int status = 0;
  while (!gStop) {
    try {
      const dsp::Bytes in = pty->read(4096, 100, 2);
      if (in.empty()) continue;
      emulator.Feed(in);
      for (; logged < emulator.frameLog.size(); ++logged) {
        if (log) log << emulator.frameLog[logged] << std::endl;
        if (verbose) std::cerr << "rx " << emulator.frameLog[logged] << "\n";
      }
      while (emulator.HasOutput() && !gStop) {
        pty->write(emulator.TakePiece());
        // Pieces are meant to arrive as separate deliveries.
        if (faults.chunk != 0) usleep(3000);
      }
    } catch (const std::exception& e) {
      std::cerr << "dsp-emulator: " << e.what() << "\n";
      status = 1;
      break;
    }
  }

  if (!linkPath.empty()) unlink(linkPath.c_str());
  if (verbose)
    std::cerr << "dsp-emulator: " << emulator.framesReceived << " frames received, "
              << emulator.checksumErrors << " with a bad checksum\n";
  return status;
}
