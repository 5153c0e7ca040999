#pragma once

#include "controls/UiText.h"

#include <QString>

namespace stowline::pages {

// Emptiness checks ignore only the blanks (spaces) around a text; tabs and other white space
// count as content, and what is sent stays untrimmed.
inline bool isBlank(const QString& text) {
    for (const QChar c : text) {
        if (c != QLatin1Char(' ')) {
            return false;
        }
    }
    return true;
}

// The key filter of the route, route description and bay description boxes: an apostrophe is
// swallowed, whether typed or pasted.
inline int discardApostrophe(int keyAscii) {
    return keyAscii == 39 ? 0 : keyAscii;
}

// The titles of the route and storage-location pages' message boxes, as source texts.
inline constexpr char InformationRequired[] = QT_TRANSLATE_NOOP("Stowline", "Information Required");
inline constexpr char InformationValidation[] =
    QT_TRANSLATE_NOOP("Stowline", "Information Validation");

} // namespace stowline::pages
