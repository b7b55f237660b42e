#include "logview/traffic_log.h"

#include <QSaveFile>

namespace dsp {

TrafficLog::TrafficLog(std::size_t capacity, QObject* parent)
    : QObject(parent), capacity_(capacity == 0 ? 1 : capacity) {}

void TrafficLog::Add(const QString& text) {
  Add(QDateTime::currentDateTime(), text);
}

void TrafficLog::Add(const QDateTime& time, const QString& text) {
  while (entries_.size() >= capacity_) entries_.pop_front();
  entries_.push_back({time, text});
  emit added(entries_.back());
}

void TrafficLog::Clear() {
  entries_.clear();
  emit cleared();
}

QString TrafficLog::Format(const Entry& entry) {
  return entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QStringLiteral("  ") + entry.text;
}

QString TrafficLog::Text() const {
  QString text;
  for (const Entry& entry : entries_) {
    text += Format(entry);
    text += QLatin1Char('\n');
  }
  return text;
}

bool TrafficLog::Save(const QString& path, QString* error) const {
  // Written to a temporary file and renamed, so a failed save never leaves
  // half a file in place of an earlier one.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  const QByteArray bytes = Text().toUtf8();
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    if (error != nullptr) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  return true;
}

}  // namespace dsp
