#include "EventLogFile.h"

#include <stowline/EventLog.h>

#include <cstdio>

namespace stowline::host {

std::shared_ptr<EventLogFile> EventLogFile::open(const QString& path, QString* error) {
    auto file = std::make_shared<EventLogFile>(path);
    if (!file->m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error != nullptr) {
            *error = QStringLiteral("Cannot open the event log %1: %2")
                         .arg(path, file->m_file.errorString());
        }
        return nullptr;
    }
    return file;
}

QString EventLogFile::formatLine(const QDateTime& when, const QString& entry) {
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODateWithMs) +
           QLatin1Char(' ') + entry + QLatin1Char('\n');
}

bool EventLogFile::append(const QString& entry) {
    const QByteArray line = formatLine(QDateTime::currentDateTime(), entry).toUtf8();
    std::lock_guard lock(m_mutex);
    const bool written = m_file.write(line) == line.size();
    return m_file.flush() && written;
}

EventLogFileSink::EventLogFileSink(std::shared_ptr<EventLogFile> file) {
    setEventLogSink([file = std::move(file)](const QString& entry) {
        if (!file->append(entry)) {
            // The log is the last place to report to; stderr is what is left.
            std::fprintf(stderr, "stowline-host: cannot write to %s\n",
                         qUtf8Printable(file->path()));
        }
    });
}

EventLogFileSink::~EventLogFileSink() {
    setEventLogSink({});
}

} // namespace stowline::host
