#include "platform/XmlDocument.h"

namespace stowline::platform {
namespace {

constexpr unsigned int ParseOptions = pugi::parse_default | pugi::parse_declaration |
                                      pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

void appendEscaped(std::string& out, const char* text, bool attribute) {
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            if (attribute) {
                out += '>';
            } else {
                out += "&gt;";
            }
            break;
        case '"':
            if (attribute) {
                out += "&quot;";
            } else {
                out += '"';
            }
            break;
        default:
            out += *p;
        }
    }
}

void writeOpening(std::string& out, const pugi::xml_node& node) {
    switch (node.type()) {
    case pugi::node_element:
        out += '<';
        out += node.name();
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            out += ' ';
            out += attribute.name();
            out += "=\"";
            appendEscaped(out, attribute.value(), true);
            out += '"';
        }
        out += node.first_child() ? ">" : "/>";
        break;
    case pugi::node_pcdata:
        appendEscaped(out, node.value(), false);
        break;
    case pugi::node_cdata:
        out += "<![CDATA[";
        out += node.value();
        out += "]]>";
        break;
    case pugi::node_comment:
        out += "<!--";
        out += node.value();
        out += "-->";
        break;
    case pugi::node_pi:
        out += "<?";
        out += node.name();
        if (*node.value() != '\0') {
            out += ' ';
            out += node.value();
        }
        out += "?>";
        break;
    case pugi::node_doctype:
        out += "<!DOCTYPE ";
        out += node.value();
        out += '>';
        break;
    case pugi::node_declaration:
        // Only a leading declaration survives, in its one normal form.
        if (node == node.parent().first_child()) {
            out += "<?xml version=\"1.0\"?>\r\n";
        }
        break;
    default:
        break;
    }
}

void writeClosing(std::string& out, const pugi::xml_node& node) {
    if (node.type() == pugi::node_element && node.first_child()) {
        out += "</";
        out += node.name();
        out += '>';
    }
}

} // namespace

bool XmlDocument::loadXML(std::string_view utf8) {
    return loadXMLInPlace(std::string(utf8));
}

bool XmlDocument::loadXML(const QString& text) {
    return loadXMLInPlace(text.toStdString());
}

bool XmlDocument::loadXMLInPlace(std::string&& utf8) {
    m_buffer = std::move(utf8);
    m_doc.reset();
    const pugi::xml_parse_result result = m_doc.load_buffer_inplace(
        m_buffer.data(), m_buffer.size(), ParseOptions, pugi::encoding_auto);
    return finishLoad(result);
}

bool XmlDocument::finishLoad(const pugi::xml_parse_result& result) {
    m_parsed = static_cast<bool>(result);
    if (m_parsed) {
        m_reason.clear();
        return true;
    }
    m_reason = QStringLiteral("%1 (at offset %2)")
                   .arg(QString::fromUtf8(result.description()))
                   .arg(result.offset);
    m_doc.reset();
    m_buffer.clear();
    return false;
}

std::string XmlDocument::serialisedText() const {
    std::string out;
    if (!m_parsed) {
        return out;
    }
    out.reserve(m_buffer.size() + m_buffer.size() / 8);
    // Iterative walk: answers may nest far deeper than the stack allows recursion.
    pugi::xml_node node = m_doc.first_child();
    while (node) {
        writeOpening(out, node);
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

QString nodeText(const pugi::xml_node& node) {
    const pugi::xml_node first = node.first_child();
    if (first && !first.next_sibling() &&
        (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        return QString::fromUtf8(first.value());
    }
    std::string text;
    pugi::xml_node current = first;
    while (current) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata) {
            text += current.value();
        }
        if (current.type() == pugi::node_element && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current && !current.next_sibling()) {
            current = current.parent();
            if (current == node) {
                return QString::fromStdString(text);
            }
        }
        if (current) {
            current = current.next_sibling();
        }
    }
    return QString::fromStdString(text);
}

} // namespace stowline::platform
