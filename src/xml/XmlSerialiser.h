#pragma once

#include <QByteArray>
#include <pugixml.hpp>

namespace stowline::xml {

enum class SerialisedForm {
    Escaped,
    // The escaped form with its references &lt;, &gt; and &amp; then turned back in one
    // left-to-right pass, as the answer clean-up does; written directly, a large answer is not
    // escaped only to be unescaped again.
    ReferencesTurnedBack,
};

// The document written in the serialised text form the transport and the answer clean-up rely
// on (XmlDocument::serialisedText); sizeHint is the length of the text it was parsed from.
QByteArray serialise(const pugi::xml_document& document, SerialisedForm form, qsizetype sizeHint);

} // namespace stowline::xml
