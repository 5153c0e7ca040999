#pragma once

#include <QString>
#include <string_view>

namespace stowline::xml {

// What pugixml would accept although it is not well-formed XML, found in text that is about to
// be parsed: what was found and its offset; empty when nothing was found.
QString wellFormednessProblem(std::string_view text);

} // namespace stowline::xml
