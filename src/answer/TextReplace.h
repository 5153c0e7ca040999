#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace stowline::answer {

// The replacement primitive: replaces every occurrence of an exact, case-sensitive text, scanning
// left to right without overlaps and without rescanning inserted text. All envelope building and
// answer unwrapping uses it, on UTF-16 text, or in place on the UTF-8 bytes of the component's
// own answers. Every pattern is ASCII, so matching bytes gives the same replacements as matching
// code units. An empty search text replaces nothing.
void replaceEvery(QString& text, QStringView search, QStringView replacement);
void replaceEvery(QByteArray& text, const QByteArray& search, const QByteArray& replacement);

} // namespace stowline::answer
