#pragma once

#include <cstddef>
#include <string_view>

namespace stowline::xml {

// What stands around a document's element: the byte-order mark and the declaration, processing
// instructions, comments, a DOCTYPE and white space. The one reading of them, shared by the
// strictness scan and by the check that an answer holds a data set, and the same as pugixml's:
// a DOCTYPE ends where pugixml ends it.
struct Prolog {
    static constexpr std::size_t None = std::string_view::npos;

    // Where the first element's "<" stands (or that of an end tag); None when there is none.
    std::size_t elementStart = None;
    // Its name as written, up to a blank, "/" or ">"; empty when there is none.
    std::string_view elementName;
    // The first thing found that has no place there, and where; nullptr when nothing was.
    const char* problem = nullptr;
    std::size_t problemOffset = 0;
};

// From the text's start up to its first element. Reading goes on past a problem to that
// element, so that its name is known also when the prolog is not sound.
Prolog readProlog(std::string_view text);
// From just after the document element to the end, where an element or a DOCTYPE is a problem.
Prolog readEpilog(std::string_view text, std::size_t from);

// Markup that begins with "<?" or "<!" at i, outside a DOCTYPE: an instruction (the declaration
// among them), a comment, a CDATA section or a DOCTYPE.
struct OtherMarkup {
    bool doctype = false;
    // Past its end; the text's size when it does not end.
    std::size_t end = 0;
    // A declaration that is not well-formed (found at i), or a DOCTYPE that does not end (found
    // at the text's end); nullptr when nothing is wrong.
    const char* problem = nullptr;
};
OtherMarkup readOtherMarkup(std::string_view text, std::size_t i);

} // namespace stowline::xml
