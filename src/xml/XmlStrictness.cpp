#include "xml/XmlStrictness.h"

#include "xml/ByteSet.h"
#include "xml/Prolog.h"
#include "xml/XmlReference.h"

#include <algorithm>

namespace stowline::xml {
namespace {

// Length of the reference at text[at] (an "&"), 0 when none begins there.
std::size_t referenceLength(std::string_view text, std::size_t at) {
    return readReference(text, at).length;
}

// Bytes that end a run of plain text for one state of the scan below.
constexpr ByteSet<2> CharacterDataBreaks("<&");
constexpr ByteSet<3> TagBreaks(">\"'");
constexpr ByteSet<3> DoubleQuotedValueBreaks("\"<&");
constexpr ByteSet<3> SingleQuotedValueBreaks("'<&");

template <std::size_t Count>
std::size_t skipPlain(std::string_view text, std::size_t i, const ByteSet<Count>& breaks) {
    return breaks.skip(text, i);
}

// Character data from i with its references, up to the next "<" or the end; stops at an "&"
// that begins no reference.
std::size_t skipCharacterData(std::string_view text, std::size_t i) {
    for (i = skipPlain(text, i, CharacterDataBreaks); i < text.size() && text[i] == '&';
         i = skipPlain(text, i, CharacterDataBreaks)) {
        const std::size_t length = referenceLength(text, i);
        if (length == 0) {
            return i;
        }
        i += length;
    }
    return i;
}

// Past the start tag that begins at i, through quoted attribute values, which may hold ">";
// sets problem, with the position left where it was found, for "<" or a bad reference in a
// value.
std::size_t pastStartTag(std::string_view text, std::size_t i, const char*& problem) {
    for (i = skipPlain(text, i + 1, TagBreaks); i < text.size() && text[i] != '>';
         i = skipPlain(text, i, TagBreaks)) {
        const char quote = text[i];
        const ByteSet<3>& valueBreaks =
            quote == '"' ? DoubleQuotedValueBreaks : SingleQuotedValueBreaks;
        for (i = skipPlain(text, i + 1, valueBreaks); i < text.size() && text[i] != quote;
             i = skipPlain(text, i, valueBreaks)) {
            if (text[i] == '<') {
                problem = "\"<\" in an attribute value";
                return i;
            }
            const std::size_t length = referenceLength(text, i);
            if (length == 0) {
                problem = "\"&\" begins no predefined entity or character reference";
                return i;
            }
            i += length;
        }
        i += i < text.size() ? 1 : 0;
    }
    return i + 1;
}

// The document element from its "<" at i to past its end tag, or to the first problem.
const char* scanDocumentElement(std::string_view text, std::size_t& i) {
    int depth = 0;
    do {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '&') {
            const std::size_t length = referenceLength(text, i);
            if (length == 0) {
                return "\"&\" begins no predefined entity or character reference";
            }
            i += length;
        } else if (c != '<') {
            // Character data, most of a large answer: on to the next markup, past every
            // reference; a reference that is not one is left for the branch above to report.
            i = skipCharacterData(text, i);
        } else if (next == '/') {
            --depth;
            i = std::min(text.find('>', i), text.size() - 1) + 1;
        } else if (next == '?' || next == '!') {
            const OtherMarkup markup = readOtherMarkup(text, i);
            if (markup.doctype) {
                return "a DOCTYPE after the document element";
            }
            if (markup.problem != nullptr) {
                return markup.problem;
            }
            i = markup.end;
        } else {
            const char* problem = nullptr;
            i = pastStartTag(text, i, problem);
            if (problem != nullptr) {
                return problem;
            }
            depth += text[i - 2] == '/' ? 0 : 1;
        }
    } while (depth > 0 && i < text.size());
    return nullptr;
}

ReadResult malformed(const char* problem, std::size_t offset) {
    return {ReadResult::Status::Malformed, offset, QLatin1String(problem)};
}

} // namespace

ReadResult checkWellFormed(std::string_view text) {
    const Prolog prolog = readProlog(text);
    if (prolog.problem != nullptr) {
        return malformed(prolog.problem, prolog.problemOffset);
    }
    if (prolog.elementStart == Prolog::None) {
        return {ReadResult::Status::Read, 0, {}}; // no document element, which pugixml tells
    }
    std::size_t i = prolog.elementStart;
    if (const char* problem = scanDocumentElement(text, i)) {
        return malformed(problem, i);
    }
    const Prolog epilog = readEpilog(text, i);
    if (epilog.problem != nullptr) {
        return malformed(epilog.problem, epilog.problemOffset);
    }
    return {ReadResult::Status::Read, 0, {}};
}

} // namespace stowline::xml
