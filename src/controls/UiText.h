#pragma once

#include <QCoreApplication>

namespace stowline::controls {

// Looks up the texts the operator sees: captions, column headers, message texts and titles.
// All of them share the translation context "Stowline", and each source text is the text shown
// when no translator has one, so an untranslated component reads exactly as designed. Texts
// for the service, the event log and the error sources are never looked up.
class UiText {
    Q_DECLARE_TR_FUNCTIONS(Stowline)
};

} // namespace stowline::controls
