#include "state/KeyConversions.h"

#include "failures/StowlineError.h"

#include <cmath>
#include <limits>

namespace stowline::state {
namespace {

qint64 toWholeNumber(const QString& text, qint64 minimum, qint64 maximum) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    qint64 value = trimmed.toLongLong(&ok, 10);
    if (!ok) {
        const double real = trimmed.toDouble(&ok);
        if (!ok || !std::isfinite(real)) {
            raiseTypeMismatch();
        }
        const double rounded = std::nearbyint(real); // the default mode rounds half to even
        if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) {
            raiseOverflow();
        }
        value = static_cast<qint64>(rounded);
    }
    if (value < minimum || value > maximum) {
        raiseOverflow();
    }
    return value;
}

} // namespace

qint16 toInt16(const QString& text) {
    return static_cast<qint16>(toWholeNumber(text, std::numeric_limits<qint16>::min(),
                                             std::numeric_limits<qint16>::max()));
}

qint32 toInt32(const QString& text) {
    return static_cast<qint32>(toWholeNumber(text, std::numeric_limits<qint32>::min(),
                                             std::numeric_limits<qint32>::max()));
}

qint16 toInt16(qint64 value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        raiseOverflow();
    }
    return static_cast<qint16>(value);
}

qint16 toInt16(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        return toInt16(value.toString());
    }
    if (!value.isValid()) {
        // An item added by a page carries no tag until the list is rebuilt.
        return 0;
    }
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok) {
        raiseTypeMismatch();
    }
    return toInt16(number);
}

} // namespace stowline::state
