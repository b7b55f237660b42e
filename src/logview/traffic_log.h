#pragma once
// A bounded, time-stamped record of the line traffic and link events, kept
// for the traffic view and for saving when the user asks for support.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstddef>
#include <deque>

namespace dsp {

class TrafficLog : public QObject {
  Q_OBJECT
 public:
  struct Entry {
    QDateTime time;
    QString text;
  };

  // Keeps at most `capacity` lines; the oldest go first.
  explicit TrafficLog(std::size_t capacity = 20000, QObject* parent = nullptr);

  // Adds a line stamped with the current local time.
  void Add(const QString& text);
  void Add(const QDateTime& time, const QString& text);
  void Clear();

  const std::deque<Entry>& Entries() const { return entries_; }
  std::size_t Capacity() const { return capacity_; }

  // "2026-12-10 10:41:06.123  text": one entry as a line of the view and
  // of the saved file.
  static QString Format(const Entry& entry);
  // Every entry, one line each, each ended by a line feed.
  QString Text() const;
  // Writes Text() as UTF-8 to a file, replacing it. False with a reason in
  // `error` when the file cannot be written completely.
  bool Save(const QString& path, QString* error = nullptr) const;

 signals:
  void added(const dsp::TrafficLog::Entry& entry);
  void cleared();

 private:
  std::size_t capacity_;
  std::deque<Entry> entries_;
};

}  // namespace dsp
