#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace stowline::controls {

// Texts as a search compares them: case and accents ignored, so that "emilie" finds "Émilie".
// Letters are decomposed (compatibility decomposition, which also splits ligatures), their
// accents dropped and the rest case-folded. Appends to `folded`, so that many texts can share
// one buffer.
void appendFolded(QString& folded, QStringView text);
// The same for a text kept as UTF-8; plain ASCII is folded without a conversion.
void appendFolded(QString& folded, QByteArrayView utf8);
QString folded(QStringView text);

// The words of what the operator typed, folded, split at white space; none for blank text.
QStringList searchWords(QStringView typed);

} // namespace stowline::controls
