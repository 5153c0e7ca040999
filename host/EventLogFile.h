#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <memory>
#include <mutex>

namespace stowline::host {

// An event log kept in a text file: every entry is appended with its local time, and the file
// is flushed after each so that nothing is lost when the host ends abruptly.
class EventLogFile {
public:
    // Opens (creating when missing) the file for appending. Returns nullptr and sets *error
    // when it cannot be opened.
    static std::shared_ptr<EventLogFile> open(const QString& path, QString* error);

    // "2024-05-01T09:30:00.123+02:00 <entry>" and a line end. Entries may span lines.
    static QString formatLine(const QDateTime& when, const QString& entry);

    // Returns false when the entry could not be written completely.
    bool append(const QString& entry);
    QString path() const { return m_file.fileName(); }

    explicit EventLogFile(const QString& path) : m_file(path) {}

private:
    std::mutex m_mutex;
    QFile m_file;
};

// Sends the component's event log to the file until the returned guard is destroyed, which
// restores the default (syslog).
class EventLogFileSink {
public:
    explicit EventLogFileSink(std::shared_ptr<EventLogFile> file);
    ~EventLogFileSink();
    EventLogFileSink(const EventLogFileSink&) = delete;
    EventLogFileSink& operator=(const EventLogFileSink&) = delete;
};

} // namespace stowline::host
