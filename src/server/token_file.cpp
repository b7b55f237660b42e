#include "server/token_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "desk/requests.h"

namespace dsp::server {

QString DefaultTokenFile() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config/dsp-control");
  return dir + QStringLiteral("/token");
}

std::string LoadOrCreateToken(const QString& path, QString& problem) {
  QFile file(path);
  if (file.exists()) {
    if (!file.open(QIODevice::ReadOnly)) {
      problem = QStringLiteral("%1: cannot be read").arg(path);
      return {};
    }
    const QByteArray content = file.read(4096);
    const std::string token = desk::TokenFromFile(std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    if (token.empty()) problem = QStringLiteral("%1 holds no token (one word of printable ASCII)").arg(path);
    return token;
  }
  // 32 random bytes as 64 hex digits.
  QByteArray random(32, '\0');
  QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(random.data()),
                                       reinterpret_cast<quint32*>(random.data() + random.size()));
  const QByteArray token = random.toHex();
  QDir().mkpath(QFileInfo(path).absolutePath());
  // Made with mode 0600 from the start, never readable by others for a
  // moment; O_EXCL: a file that appeared meanwhile is not overwritten.
  const QByteArray local = QFile::encodeName(path);
  const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) {
    problem = QStringLiteral("%1: cannot be created").arg(path);
    return {};
  }
  const QByteArray line = token + '\n';
  const bool written = ::write(fd, line.constData(), static_cast<std::size_t>(line.size())) == line.size();
  ::close(fd);
  if (!written) {
    ::unlink(local.constData());
    problem = QStringLiteral("%1: cannot be written").arg(path);
    return {};
  }
  return token.toStdString();
}

}  // namespace dsp::server
