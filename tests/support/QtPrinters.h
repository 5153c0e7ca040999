#pragma once

// Lets GoogleTest print Qt strings readably in failure messages, with CR and LF made visible.
#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        switch (c) {
        case '\r':
            *out << "\\r";
            break;
        case '\n':
            *out << "\\n";
            break;
        case '"':
            *out << "\\\"";
            break;
        default:
            *out << c;
        }
    }
    *out << '"';
}

inline void PrintTo(const QString& text, std::ostream* out) {
    PrintTo(text.toUtf8(), out);
}
