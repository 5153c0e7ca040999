#pragma once

#include "xml/ReadResult.h"

#include <string_view>

namespace stowline::xml {

// pugixml accepts some text that is not well-formed: a bare "&" or an unknown entity (kept as
// text), "<" in an attribute value, text or a second element beside the document element, a
// declaration or a DOCTYPE it reads differently. The serialiser would then write a repaired
// document, so a broken envelope would be posted with changed content instead of being refused.
// This scan finds those cases in text that pugixml has otherwise accepted (in an
// ASCII-compatible encoding): Malformed with what was found and where, otherwise Read.
ReadResult checkWellFormed(std::string_view text);

} // namespace stowline::xml
