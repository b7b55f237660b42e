#pragma once
// Runs dsp-control as a child process the way a script does: arguments,
// standard output and standard error captured, a bounded wait (the child is
// killed when it overstays), and a hook that sees standard error as it
// comes (to act in the middle of a transfer).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dsp::test {

// A whole file's bytes (empty when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

inline std::filesystem::path ControlBinary() {
  if (const char* env = std::getenv("DSP_CONTROL")) return env;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "dsp-control";
}

struct ProgramResult {
  int status = -1;  // wait status
  std::string out;
  std::string err;
  bool exited() const { return WIFEXITED(status); }
  int code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
};

// `onErr` is called with all of standard error so far whenever more came.
// With `errTerminal` set, standard error is that terminal instead (the
// caller reads it there). `env` sets (or, with an empty value, unsets)
// environment variables of the child; `child` receives its process id (to
// signal it from `onErr`).
using Environment = std::vector<std::pair<std::string, std::string>>;
inline ProgramResult RunProgram(const std::vector<std::string>& args, int timeoutMs = 60000,
                                const std::function<void(const std::string&)>& onErr = {},
                                const std::string& errTerminal = {}, const Environment& env = {},
                                pid_t* child = nullptr) {
  ProgramResult result;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  const std::string binary = ControlBinary().string();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    if (!errTerminal.empty()) {
      const int tty = open(errTerminal.c_str(), O_RDWR | O_NOCTTY);
      if (tty >= 0) dup2(tty, STDERR_FILENO);
    }
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    // No display: the commands must not need one.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    for (const auto& [name, value] : env) {
      if (value.empty())
        unsetenv(name.c_str());
      else
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (child != nullptr) *child = pid;
  close(out[1]);
  close(err[1]);
  const auto start = std::chrono::steady_clock::now();
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    if (elapsed > timeoutMs) {
      kill(pid, SIGKILL);
      break;
    }
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    if (poll(fds, 2, 100) <= 0) continue;
    char buffer[4096];
    if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
      const ssize_t n = read(out[0], buffer, sizeof buffer);
      if (n <= 0)
        outOpen = false;
      else
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
      const ssize_t n = read(err[0], buffer, sizeof buffer);
      if (n <= 0) {
        errOpen = false;
      } else {
        result.err.append(buffer, static_cast<std::size_t>(n));
        if (onErr) onErr(result.err);
      }
    }
  }
  close(out[0]);
  close(err[0]);
  waitpid(pid, &result.status, 0);
  return result;
}

}  // namespace dsp::test
