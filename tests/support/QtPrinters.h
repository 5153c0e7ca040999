#pragma once

// Lets GoogleTest print Qt strings readably in failure messages, with CR and LF made visible.
#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    QByteArray shown = bytes;
    *out << '"'
         << shown.replace('"', "\\\"").replace('\r', "\\r").replace('\n', "\\n").toStdString()
         << '"';
}

inline void PrintTo(const QString& text, std::ostream* out) {
    PrintTo(text.toUtf8(), out);
}
