#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace stowline::state {

// Keys travel as text; where one is needed as a number it is converted with these. Blanks
// around the digits are allowed and a decimal part is rounded half to even; text that is not a
// number fails with "Type mismatch", a number out of range with "Overflow".
qint16 toInt16(const QString& text);
qint32 toInt32(const QString& text);
qint16 toInt16(qint64 value);
// A list item's tag: a key as text, or the integer 0 when the service gave none.
qint16 toInt16(const QVariant& value);

} // namespace stowline::state
