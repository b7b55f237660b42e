#include "posix/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace dsp::posix {

PtyPair::PtyPair() {
  controller_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0)
    throw std::runtime_error(std::string("pseudo-terminal: ") + std::strerror(errno));
  char name[128] = {};
  if (ptsname_r(controller_, name, sizeof name) != 0)
    throw std::runtime_error(std::string("ptsname: ") + std::strerror(errno));
  path_ = name;
  // Raw mode on the terminal side, so bytes pass unchanged in both directions.
  int fd = ::open(name, O_RDWR | O_NOCTTY);
  if (fd >= 0) {
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(fd, TCSANOW, &tio);
    }
    ::close(fd);
  }
  int flags = fcntl(controller_, F_GETFL);
  fcntl(controller_, F_SETFL, flags | O_NONBLOCK);
}

PtyPair::~PtyPair() {
  if (held_ >= 0) ::close(held_);
  if (controller_ >= 0) ::close(controller_);
}

void PtyPair::holdDevice() {
  if (held_ < 0) held_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

void PtyPair::write(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(controller_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{controller_, POLLOUT, 0};
      ::poll(&p, 1, 100);
    } else {
      throw std::runtime_error(std::string("pty write: ") + std::strerror(errno));
    }
  }
}

std::vector<std::uint8_t> PtyPair::read(std::size_t max, int timeoutMs, int idleMs) {
  std::vector<std::uint8_t> out;
  int wait = timeoutMs;
  while (out.size() < max) {
    pollfd p{controller_, POLLIN, 0};
    int r = ::poll(&p, 1, wait);
    if (r <= 0) break;
    if (p.revents & POLLIN) {
      std::uint8_t buf[512];
      ssize_t n = ::read(controller_, buf, std::min(sizeof buf, max - out.size()));
      if (n > 0) {
        out.insert(out.end(), buf, buf + n);
        wait = idleMs;
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    }
    // POLLHUP without data: nobody holds the terminal side; keep waiting.
    if (p.revents & POLLHUP) {
      ::usleep(5000);
      if (wait <= 5) break;
      wait -= 5;
    }
  }
  return out;
}

}  // namespace dsp::posix
