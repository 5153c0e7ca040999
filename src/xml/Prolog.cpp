#include "xml/Prolog.h"

#include "xml/XmlReference.h"

#include <algorithm>

namespace stowline::xml {
namespace {

constexpr char TextOutside[] = "text outside the document element";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether the text begins with an XML declaration ("<?xml", any case, as pugixml takes it)
// that holds "/", "<" or ">" before its "?>". pugixml reads a declaration's attributes as a
// tag's: a "/>" among them ends it there, and what follows up to "?>" becomes part of the
// document, unseen by a scan that skips to the "?>". No sound declaration holds any of them.
bool declarationCutShort(std::string_view rest) {
    const auto lower = [&rest](std::size_t k) { return static_cast<char>(rest[k] | 0x20); };
    if (rest.size() < 6 || lower(2) != 'x' || lower(3) != 'm' || lower(4) != 'l' ||
        std::string_view(" \t\r\n?").find(rest[5]) == std::string_view::npos) {
        return false;
    }
    const std::string_view content = rest.substr(5, rest.find("?>", 5) - 5);
    return content.find_first_of("/<>") != std::string_view::npos;
}

// Past what begins at i up to and including the terminator, or npos when it does not end.
std::size_t pastTerminator(std::string_view text, std::size_t i, std::string_view terminator) {
    const std::size_t end = text.find(terminator, i);
    return end == std::string_view::npos ? end : end + terminator.size();
}

// Past a DOCTYPE that begins at i, or npos when it does not end or pugixml could not read it.
// It is read as pugixml reads it, so that both agree on where it ends: declarations inside it
// ("<!ENTITY ...>") nest up to their ">", quoted strings, comments and processing instructions
// are skipped whole, "<![" sections run to their "]]>"; brackets count for nothing. Text that
// pugixml took for the document's after an earlier end would otherwise escape the scan.
std::size_t pastDoctype(std::string_view text, std::size_t i) {
    std::size_t depth = 0;
    for (i += 2; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<![")) {
            std::size_t sections = 0;
            for (i += 3; i < text.size(); ++i) {
                if (text.substr(i).starts_with("<![")) {
                    ++sections;
                    i += 2;
                } else if (text.substr(i).starts_with("]]>")) {
                    i += 2;
                    if (sections-- == 0) {
                        break;
                    }
                }
            }
            i = i < text.size() ? i + 1 : std::string_view::npos;
        } else if (rest.starts_with("<!--")) {
            i = pastTerminator(text, i + 4, "-->");
        } else if (rest.starts_with("<!-")) {
            return std::string_view::npos;
        } else if (rest.starts_with("<!")) {
            ++depth;
            i += 2;
        } else if (rest.starts_with("<?")) {
            i = pastTerminator(text, i + 2, "?>");
        } else if (rest[0] == '<') {
            return std::string_view::npos;
        } else if (rest[0] == '"' || rest[0] == '\'') {
            i = pastTerminator(text, i + 1, rest.substr(0, 1));
        } else if (rest[0] == '>' && depth == 0) {
            return i + 1;
        } else {
            depth -= rest[0] == '>' ? 1 : 0;
            ++i;
        }
    }
    return std::string_view::npos;
}

// Both readings: before the document element, up to it; after it, up to the end.
Prolog readAround(std::string_view text, std::size_t i, bool afterElement) {
    Prolog prolog;
    const auto found = [&prolog](const char* problem, std::size_t at) {
        if (prolog.problem == nullptr) {
            prolog.problem = problem;
            prolog.problemOffset = at;
        }
    };
    int doctypes = 0;
    while (i < text.size()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (isBlank(c)) {
            ++i;
        } else if (c == '<' && (next == '?' || next == '!')) {
            const OtherMarkup markup = readOtherMarkup(text, i);
            if (markup.doctype && afterElement) {
                found("a DOCTYPE after the document element", i);
            } else if (markup.doctype && ++doctypes > 1) {
                found("a second DOCTYPE", i);
            }
            if (markup.problem != nullptr) {
                found(markup.problem, markup.doctype ? text.size() : i);
            }
            i = markup.end;
        } else if (c == '<') {
            if (afterElement) {
                found("a second document element", i);
            }
            const std::size_t nameEnd =
                std::min(text.find_first_of(" \t\r\n/>", i + 1), text.size());
            prolog.elementStart = i;
            prolog.elementName = text.substr(i + 1, nameEnd - i - 1);
            return prolog;
        } else {
            found(c == '&' && readReference(text, i).length == 0
                      ? "\"&\" begins no predefined entity or character reference"
                      : TextOutside,
                  i);
            ++i;
        }
    }
    return prolog;
}

} // namespace

Prolog readProlog(std::string_view text) {
    return readAround(text, text.starts_with("\xEF\xBB\xBF") ? 3 : 0, false);
}

Prolog readEpilog(std::string_view text, std::size_t from) {
    return readAround(text, from, true);
}

OtherMarkup readOtherMarkup(std::string_view text, std::size_t i) {
    const std::string_view rest = text.substr(i);
    const auto skipPast = [&](std::size_t opening, std::string_view terminator) {
        const std::size_t end = text.find(terminator, i + opening);
        return end == std::string_view::npos ? text.size() : end + terminator.size();
    };
    if (rest.starts_with("<?")) {
        return {false, skipPast(2, "?>"),
                declarationCutShort(rest) ? "an XML declaration that is not well-formed" : nullptr};
    }
    if (rest.starts_with("<!--")) {
        // The end is searched after the opening: "<!-->" begins a comment, it is not one.
        return {false, skipPast(4, "-->")};
    }
    if (rest.starts_with("<![CDATA[")) {
        return {false, skipPast(9, "]]>")};
    }
    const std::size_t end = pastDoctype(text, i);
    if (end == std::string_view::npos) {
        return {true, text.size(), "a DOCTYPE that does not end"};
    }
    return {true, end};
}

} // namespace stowline::xml
