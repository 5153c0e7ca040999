#include "xml/XmlStrictness.h"

#include "xml/ByteSet.h"
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

// pugixml accepts some text that is not well-formed: a bare "&" or an unknown entity (kept as
// text), "<" in an attribute value, text or a second element beside the document element.
// The serialiser would then write a repaired document, so a broken envelope would be posted
// with changed content instead of being refused. This scan finds those cases in text that
// pugixml has otherwise accepted (in an ASCII-compatible encoding).
class WellFormednessScan {
public:
    explicit WellFormednessScan(std::string_view text)
        : m_text(text), m_i(text.starts_with("\xEF\xBB\xBF") ? 3 : 0) {}

    // Empty when nothing was found.
    QString problem() {
        while (m_i < m_text.size()) {
            const char c = m_text[m_i];
            const char* found = nullptr;
            if (c == '&') {
                found = reference();
            } else if (c == '<') {
                found = markup();
            } else if (m_depth > 0) {
                // Character data, most of a large answer: on to the next markup, past every
                // reference; a reference that is not one is left for reference() to report.
                m_i = skipCharacterData(m_text, m_i);
            } else {
                found = outsideText();
            }
            if (found != nullptr) {
                return QStringLiteral("%1 (at offset %2)").arg(QLatin1String(found)).arg(m_i);
            }
        }
        return {};
    }

private:
    const char* reference() {
        const std::size_t length = referenceLength(m_text, m_i);
        if (length == 0) {
            return "\"&\" begins no predefined entity or character reference";
        }
        if (m_depth == 0) {
            return "text outside the document element";
        }
        m_i += length;
        return nullptr;
    }

    // Only white space may stand outside the document element.
    const char* outsideText() {
        const char c = m_text[m_i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return "text outside the document element";
        }
        ++m_i;
        return nullptr;
    }

    // What follows "<" tells the kind of markup.
    const char* markup() {
        const std::string_view rest = m_text.substr(m_i);
        switch (rest.size() > 1 ? rest[1] : '\0') {
        case '/':
            --m_depth;
            m_i = std::min(m_text.find('>', m_i), m_text.size() - 1) + 1;
            return nullptr;
        case '?':
            if (declarationCutShort(rest)) {
                return "an XML declaration that is not well-formed";
            }
            skipPast(2, "?>");
            return nullptr;
        case '!':
            return declaration(rest);
        default:
            return startTag();
        }
    }

    const char* declaration(std::string_view rest) {
        if (rest.starts_with("<!--")) {
            // The end is searched after the opening: "<!-->" begins a comment, it is not one.
            skipPast(4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast(9, "]]>");
        } else {
            // The DOCTYPE comes once, before the document element.
            if (m_documentElements > 0) {
                return "a DOCTYPE after the document element";
            }
            if (++m_doctypes > 1) {
                return "a second DOCTYPE";
            }
            m_i = pastDoctype(m_text, m_i);
            if (m_i == std::string_view::npos) {
                m_i = m_text.size();
                return "a DOCTYPE that does not end";
            }
        }
        return nullptr;
    }

    const char* startTag() {
        if (m_depth == 0 && ++m_documentElements > 1) {
            return "a second document element";
        }
        const char* problem = nullptr;
        m_i = pastStartTag(m_text, m_i, problem);
        if (problem == nullptr) {
            m_depth += m_text[m_i - 2] == '/' ? 0 : 1;
        }
        return problem;
    }

    void skipPast(std::size_t opening, std::string_view terminator) {
        const std::size_t end = m_text.find(terminator, m_i + opening);
        m_i = end == std::string_view::npos ? m_text.size() : end + terminator.size();
    }

    std::string_view m_text;
    std::size_t m_i;
    int m_depth = 0;
    int m_documentElements = 0;
    int m_doctypes = 0;
};

} // namespace

QString wellFormednessProblem(std::string_view text) {
    return WellFormednessScan(text).problem();
}

} // namespace stowline::xml
