#include "xml/XmlSerialiser.h"

#include "xml/ReferenceTurnBack.h"
#include "xml/TreeWalk.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace stowline::xml {
namespace {

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

// Contents written as they are, between their opening and closing; in the turned-back form
// their own references turn back too.
void appendVerbatim(QByteArray& out, const char* opening, const char* text, const char* closing,
                    const FormRules& rules) {
    append(out, opening);
    const qsizetype start = out.size();
    append(out, text);
    if (rules.turnBackVerbatim && std::strchr(text, '&') != nullptr) {
        char* begin = out.data();
        out.truncate(turnBackReferences(begin + start, begin + out.size()) - begin);
    }
    append(out, closing);
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
        appendVerbatim(out, "<![CDATA[", node.value(), "]]>", rules);
        break;
    case pugi::node_comment:
        appendVerbatim(out, "<!--", node.value(), "-->", rules);
        break;
    case pugi::node_pi:
        out.append("<?");
        append(out, node.name());
        appendVerbatim(out, *node.value() != '\0' ? " " : "", node.value(), "?>", rules);
        break;
    case pugi::node_doctype:
        appendVerbatim(out, "<!DOCTYPE ", node.value(), ">", rules);
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

} // namespace

QByteArray serialise(const pugi::xml_document& document, SerialisedForm form, qsizetype sizeHint) {
    const FormRules& rules =
        form == SerialisedForm::ReferencesTurnedBack ? TurnedBackRules : EscapedRules;
    QByteArray out;
    out.reserve(sizeHint + sizeHint / 8);
    walkBelow(
        document, [&](const pugi::xml_node& node) { writeOpening(out, node, rules); },
        [&](const pugi::xml_node& element) {
            out.append("</");
            append(out, element.name());
            out += '>';
        });
    return out;
}

} // namespace stowline::xml
