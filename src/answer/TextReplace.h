#pragma once

#include <QString>
#include <QStringView>

namespace stowline::service {

// Replaces every occurrence of an exact, case-sensitive text, scanning left to right without
// overlaps and without rescanning inserted text. All envelope building and answer unwrapping
// uses this one primitive.
inline QString replaceAll(QString text, QStringView search, QStringView replacement) {
    if (!search.isEmpty()) {
        text.replace(search.toString(), replacement.toString(), Qt::CaseSensitive);
    }
    return text;
}

} // namespace stowline::service
