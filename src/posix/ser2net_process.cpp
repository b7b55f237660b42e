#include "posix/ser2net_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

namespace dsp::posix {

namespace fs = std::filesystem;

fs::path Ser2netBinary() {
  if (const char* env = std::getenv("SER2NET")) return env;
  if (const char* path = std::getenv("PATH")) {
    std::stringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
      const fs::path candidate = fs::path(dir) / "ser2net";
      if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return "/usr/sbin/ser2net";
}

std::uint16_t FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  std::uint16_t port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool LoopbackPortListening(std::uint16_t port) {
  // Lines: "sl local_address rem_address st ...", addresses as hex
  // "0100007F:1F90", state 0A = LISTEN.
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, ":%04X", port);
  std::ifstream in("/proc/net/tcp");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (state == "0A" && local.size() > 5 && local.compare(local.size() - 5, 5, wanted) == 0) return true;
  }
  return false;
}

Ser2netProcess::Ser2netProcess(const std::string& device) {
  std::error_code ec;
  dir_ = fs::temp_directory_path(ec) /
         ("ser2net-" + std::to_string(::getpid()) + "-" +
          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir_, ec);
  rawPort_ = FreeLoopbackPort();
  telnetPort_ = FreeLoopbackPort();
  while (telnetPort_ == rawPort_ && telnetPort_ != 0) telnetPort_ = FreeLoopbackPort();
  if (ec || rawPort_ == 0 || telnetPort_ == 0) return;

  std::ostringstream yaml;
  yaml << "%YAML 1.1\n---\n"
       << "connection: &raw\n"
       << "  accepter: tcp,127.0.0.1," << rawPort_ << "\n"
       << "  connector: serialdev," << device << ",57600n81,local\n"
       << "connection: &rfc2217\n"
       << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_ << "\n"
       << "  connector: serialdev," << device << ",57600n81,local\n";
  ports_ = {rawPort_, telnetPort_};
  Launch(yaml.str());
}

Ser2netProcess::Ser2netProcess(const std::vector<std::string>& devices) {
  std::error_code ec;
  dir_ = fs::temp_directory_path(ec) /
         ("ser2net-" + std::to_string(::getpid()) + "-" +
          std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir_, ec);
  if (ec) return;
  std::ostringstream yaml;
  yaml << "%YAML 1.1\n---\n";
  for (std::size_t i = 0; i < devices.size(); ++i) {
    std::uint16_t port = FreeLoopbackPort();
    for (int tries = 0; tries < 20 && std::find(ports_.begin(), ports_.end(), port) != ports_.end(); ++tries)
      port = FreeLoopbackPort();
    if (port == 0) return;
    ports_.push_back(port);
    yaml << "connection: &room" << i << "\n"
         << "  accepter: tcp,127.0.0.1," << port << "\n"
         << "  connector: serialdev," << devices[i] << ",57600n81,local\n";
  }
  if (!ports_.empty()) rawPort_ = ports_.front();
  Launch(yaml.str());
}

void Ser2netProcess::Launch(const std::string& yaml) {
  const fs::path config = dir_ / "ser2net.yaml";
  {
    std::ofstream out(config);
    out << yaml;
  }
  const std::string binary = Ser2netBinary().string();
  const std::string configPath = config.string();
  const std::string logPath = (dir_ / "stderr.log").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (log >= 0) {
      ::dup2(log, STDOUT_FILENO);
      ::dup2(log, STDERR_FILENO);
      ::close(log);
    }
    ::execl(binary.c_str(), binary.c_str(), "-n", "-u", "-c", configPath.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (pid_ < 0) return;
  // Up when every accepter listens; a bounded wait.
  for (int i = 0; i < 500; ++i) {
    if (std::all_of(ports_.begin(), ports_.end(), [](std::uint16_t port) { return LoopbackPortListening(port); })) {
      started_ = true;
      break;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

Ser2netProcess::~Ser2netProcess() {
  Stop(SIGTERM);
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string Ser2netProcess::log() const {
  std::ifstream in(dir_ / "stderr.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int Ser2netProcess::Stop(int signal) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  int status = 0;
  // A bounded wait, then the hard way: a test never leaves it running.
  for (int i = 0; i < 300; ++i) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

}  // namespace dsp::posix
