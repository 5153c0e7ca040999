#include "xml/XmlDocument.h"

#include "system/FreedMemory.h"
#include "xml/ByteSet.h"
#include "xml/ReferenceTurnBack.h"
#include "xml/XmlReference.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace stowline::xml {
namespace {

constexpr unsigned int ParseOptions = pugi::parse_default | pugi::parse_declaration |
                                      pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

void append(QByteArray& out, const char* text) {
    out.append(text, static_cast<qsizetype>(std::strlen(text)));
}

// What a character turns into in character data and in attribute values; empty for itself.
// A parser reads a tab, LF or CR written literally in an attribute value as a blank, so those
// (present only when they came from character references) are written as references again.
using EscapeTable = std::array<std::string_view, 256>;

// In the form with references turned back, &, < and > stay themselves: escaping them and turning
// the references back would give them again.
constexpr EscapeTable escapeTable(bool attribute, bool referencesTurnedBack) {
    EscapeTable table{};
    if (!referencesTurnedBack) {
        table['&'] = "&amp;";
        table['<'] = "&lt;";
        table['>'] = attribute ? "" : "&gt;";
    }
    if (attribute) {
        table['"'] = "&quot;";
        table['\t'] = "&#9;";
        table['\n'] = "&#10;";
        table['\r'] = "&#13;";
    }
    return table;
}

constexpr std::size_t LongestEscape = 6;

// How one form of the serialised text writes character data, attribute values and the
// contents of comments, CDATA sections, processing instructions and DOCTYPEs.
struct FormRules {
    EscapeTable text;
    EscapeTable attribute;
    bool turnBackVerbatim;
    // Whether character data is written as it is (no entry of the text table is set).
    bool textAsItIs = std::all_of(text.begin(), text.end(),
                                  [](std::string_view escape) { return escape.empty(); });
};

constexpr FormRules EscapedRules{escapeTable(false, false), escapeTable(true, false), false};
constexpr FormRules TurnedBackRules{escapeTable(false, true), escapeTable(true, true), true};
static_assert(TurnedBackRules.textAsItIs && !EscapedRules.textAsItIs);

// Writes straight into the output's memory, a slice at a time: an answer's escaped data set
// is one text of many megabytes with a character to escape every few bytes, and appending
// each piece on its own cost more than the rest of the serialisation.
void appendEscaped(QByteArray& out, const char* text, const EscapeTable& escapes) {
    constexpr std::size_t Slice = 64 * 1024;
    const char* p = text;
    const char* const end = text + std::strlen(text);
    while (p < end) {
        const char* const sliceEnd = p + std::min(Slice, static_cast<std::size_t>(end - p));
        const qsizetype start = out.size();
        out.resize(start + static_cast<qsizetype>((sliceEnd - p) * LongestEscape));
        char* write = out.data() + start;
        for (; p < sliceEnd; ++p) {
            const std::string_view escape = escapes[static_cast<unsigned char>(*p)];
            if (escape.empty()) {
                *write++ = *p;
            } else {
                write = std::copy(escape.begin(), escape.end(), write);
            }
        }
        out.resize(write - out.constData());
    }
}

// Contents written as they are; in the turned-back form their own references turn back too.
void appendVerbatim(QByteArray& out, const char* text, const FormRules& rules) {
    const qsizetype start = out.size();
    append(out, text);
    if (rules.turnBackVerbatim && std::strchr(text, '&') != nullptr) {
        char* begin = out.data();
        out.truncate(turnBackReferences(begin + start, begin + out.size()) - begin);
    }
}

bool blanksOnly(const char* text) {
    return *text != '\0' && text[std::strspn(text, " \t\r\n")] == '\0';
}

void appendAsReferences(QByteArray& out, const char* text) {
    for (; *text != '\0'; ++text) {
        out.append("&#").append(QByteArray::number(static_cast<int>(*text))).append(';');
    }
}

void writeOpening(QByteArray& out, const pugi::xml_node& node, const FormRules& rules) {
    switch (node.type()) {
    case pugi::node_element:
        out += '<';
        append(out, node.name());
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            out += ' ';
            append(out, attribute.name());
            out.append("=\"");
            appendEscaped(out, attribute.value(), rules.attribute);
            out += '"';
        }
        out.append(node.first_child() ? ">" : "/>");
        break;
    case pugi::node_pcdata:
        if (blanksOnly(node.value())) {
            // Only character references give such a text; written literally, it would be
            // dropped as white space between elements when read again.
            appendAsReferences(out, node.value());
        } else if (rules.textAsItIs) {
            // The text of a large answer, megabytes long: one copy.
            append(out, node.value());
        } else {
            appendEscaped(out, node.value(), rules.text);
        }
        break;
    case pugi::node_cdata:
        out.append("<![CDATA[");
        appendVerbatim(out, node.value(), rules);
        out.append("]]>");
        break;
    case pugi::node_comment:
        out.append("<!--");
        appendVerbatim(out, node.value(), rules);
        out.append("-->");
        break;
    case pugi::node_pi:
        out.append("<?");
        append(out, node.name());
        if (*node.value() != '\0') {
            out += ' ';
            appendVerbatim(out, node.value(), rules);
        }
        out.append("?>");
        break;
    case pugi::node_doctype:
        out.append("<!DOCTYPE ");
        appendVerbatim(out, node.value(), rules);
        out += '>';
        break;
    case pugi::node_declaration:
        // Only a leading declaration survives, in its one normal form.
        if (node == node.parent().first_child()) {
            out.append("<?xml version=\"1.0\"?>\r\n");
        }
        break;
    default:
        break;
    }
}

void writeClosing(QByteArray& out, const pugi::xml_node& node) {
    if (node.type() == pugi::node_element && node.first_child()) {
        out.append("</");
        append(out, node.name());
        out += '>';
    }
}

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

QString wellFormednessProblem(std::string_view text) {
    return WellFormednessScan(text).problem();
}

// The UTF-16 and UTF-32 forms pugixml recognises, by a byte-order mark or by how the first
// "<" is encoded. pugixml would convert such text itself, past the byte-wise scan above.
std::optional<QStringConverter::Encoding> wideEncoding(std::string_view text) {
    if (text.size() < 4) {
        return std::nullopt;
    }
    const std::string_view head = text.substr(0, 4);
    if (head == std::string_view("\0\0\xFE\xFF", 4) || head == std::string_view("\0\0\0<", 4)) {
        return QStringConverter::Utf32BE;
    }
    if (head == std::string_view("\xFF\xFE\0\0", 4) || head == std::string_view("<\0\0\0", 4)) {
        return QStringConverter::Utf32LE;
    }
    if (head.starts_with("\xFE\xFF") || head.starts_with(std::string_view("\0<", 2))) {
        return QStringConverter::Utf16BE;
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with(std::string_view("<\0", 2))) {
        return QStringConverter::Utf16LE;
    }
    return std::nullopt;
}

} // namespace

XmlDocument::~XmlDocument() {
    m_doc.reset();
    system::releaseBuffer(m_buffer);
}

bool XmlDocument::loadXML(std::string_view utf8) {
    return loadXMLInPlace(QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

bool XmlDocument::loadXML(const QString& text) {
    // Text the component builds from what the operator typed or pasted may hold a character XML
    // does not allow anywhere, which pugixml would take as it is.
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            ++at;
        } else if (c.isSurrogate() || !isXmlChar(c.unicode())) {
            m_doc.reset();
            system::releaseBuffer(m_buffer);
            m_parsed = false;
            const QString code =
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            m_reason = QStringLiteral("the character U+%1 is not allowed in XML (at offset %2)")
                           .arg(code)
                           .arg(at);
            return false;
        }
    }
    // The text is already decoded: an encoding its declaration names must not apply again.
    return load(text.toUtf8(), pugi::encoding_utf8, ParseOptions);
}

bool XmlDocument::loadXMLInPlace(QByteArray&& text) {
    return load(std::move(text), pugi::encoding_auto, ParseOptions);
}

bool XmlDocument::loadForReading(QByteArray&& text) {
    return load(std::move(text), pugi::encoding_auto, ParseOptions | pugi::parse_embed_pcdata);
}

bool XmlDocument::load(QByteArray&& text, pugi::xml_encoding encoding, unsigned int options) {
    m_doc.reset();
    system::releaseBuffer(m_buffer);
    m_buffer = std::move(text);
    const auto view = [this] {
        return std::string_view(m_buffer.constData(), static_cast<std::size_t>(m_buffer.size()));
    };
    // Wide text is read as its UTF-8 form, so that the scan holds it to the same rules.
    if (const auto wide = encoding == pugi::encoding_auto ? wideEncoding(view()) : std::nullopt) {
        QStringDecoder decode(*wide);
        m_buffer = QString(decode(m_buffer)).toUtf8();
        encoding = pugi::encoding_utf8;
    }
    // Scanned before parsing, which rewrites the buffer in place.
    const QString problem = wellFormednessProblem(view());
    const pugi::xml_parse_result result = m_doc.load_buffer_inplace(
        m_buffer.data(), static_cast<std::size_t>(m_buffer.size()), options, encoding);
    return finishLoad(result, problem);
}

bool XmlDocument::finishLoad(const pugi::xml_parse_result& result, const QString& problem) {
    m_parsed = static_cast<bool>(result) && problem.isEmpty();
    if (m_parsed) {
        m_reason.clear();
        return true;
    }
    m_reason = result ? problem
                      : QStringLiteral("%1 (at offset %2)")
                            .arg(QString::fromUtf8(result.description()))
                            .arg(result.offset);
    m_doc.reset();
    system::releaseBuffer(m_buffer);
    return false;
}

QByteArray XmlDocument::serialisedText(SerialisedForm form) const {
    const FormRules& rules =
        form == SerialisedForm::ReferencesTurnedBack ? TurnedBackRules : EscapedRules;
    QByteArray out;
    if (!m_parsed) {
        return out;
    }
    out.reserve(m_buffer.size() + m_buffer.size() / 8);
    // Iterative walk: answers may nest far deeper than the stack allows recursion.
    pugi::xml_node node = m_doc.first_child();
    while (node) {
        writeOpening(out, node, rules);
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            if (node == m_doc) {
                return out;
            }
            writeClosing(out, node);
        }
        if (node) {
            node = node.next_sibling();
        }
    }
    return out;
}

std::string_view nodeTextUtf8(const pugi::xml_node& node, std::string& scratch) {
    const pugi::xml_node first = node.first_child();
    // A document read for reading keeps an element's first text as the element's value.
    if (!first) {
        return node.type() == pugi::node_element ? node.value() : "";
    }
    if (!first.next_sibling() && *node.value() == '\0' &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        return first.value();
    }
    scratch = node.type() == pugi::node_element ? node.value() : "";
    pugi::xml_node current = first;
    while (current) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata ||
            current.type() == pugi::node_element) {
            scratch += current.value();
        }
        if (current.type() == pugi::node_element && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current && !current.next_sibling()) {
            current = current.parent();
            if (current == node) {
                return scratch;
            }
        }
        if (current) {
            current = current.next_sibling();
        }
    }
    return scratch;
}

QString nodeText(const pugi::xml_node& node) {
    std::string scratch;
    const std::string_view text = nodeTextUtf8(node, scratch);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace stowline::xml
