#include "posix/emulator_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace dsp::posix {

std::filesystem::path EmulatorBinary() {
  if (const char* env = std::getenv("DSP_EMULATOR")) return env;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "dsp-emulator";
}

EmulatorProcess::EmulatorProcess(std::vector<std::string> args) {
  int out[2];
  if (pipe(out) != 0) return;
  const std::string binary = EmulatorBinary().string();
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  FILE* in = fdopen(out[0], "r");
  char line[256] = {};
  if (in && fgets(line, sizeof line, in)) path_ = line;
  while (!path_.empty() && (path_.back() == '\n' || path_.back() == '\r')) path_.pop_back();
  if (in) fclose(in);
}

EmulatorProcess::~EmulatorProcess() { Stop(SIGTERM); }

int EmulatorProcess::Stop(int signal) {
  if (pid_ <= 0) return -1;
  kill(pid_, signal);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

}  // namespace dsp::posix
