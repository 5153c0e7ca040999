#include "xml/XmlDocument.h"

#include "system/FreedMemory.h"
#include "xml/TreeWalk.h"
#include "xml/XmlReference.h"
#include "xml/XmlStrictness.h"

#include <QStringDecoder>
#include <optional>

namespace stowline::xml {
namespace {

constexpr unsigned int ParseOptions = pugi::parse_default | pugi::parse_declaration |
                                      pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

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

ReadResult XmlDocument::loadXML(std::string_view utf8) {
    return loadXMLInPlace(QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

ReadResult XmlDocument::loadXML(const QString& text) {
    // Text the component builds from what the operator typed or pasted may hold a character XML
    // does not allow anywhere, which pugixml would take as it is.
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            ++at;
        } else if (c.isSurrogate() || !isXmlChar(c.unicode())) {
            const QString code =
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            return fail({ReadResult::Status::Malformed, static_cast<std::size_t>(at),
                         QStringLiteral("the character U+%1 is not allowed in XML").arg(code)});
        }
    }
    // The text is already decoded: an encoding its declaration names must not apply again.
    return load(text.toUtf8(), pugi::encoding_utf8, ParseOptions);
}

ReadResult XmlDocument::loadXMLInPlace(QByteArray&& text) {
    return load(std::move(text), pugi::encoding_auto, ParseOptions);
}

ReadResult XmlDocument::loadForReading(QByteArray&& text) {
    return load(std::move(text), pugi::encoding_auto, ParseOptions | pugi::parse_embed_pcdata);
}

ReadResult XmlDocument::load(QByteArray&& text, pugi::xml_encoding encoding, unsigned int options) {
    m_doc.reset();
    system::releaseBuffer(m_buffer);
    const bool empty = text.isEmpty();
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
    const ReadResult strictness = checkWellFormed(view());
    const pugi::xml_parse_result parsed = m_doc.load_buffer_inplace(
        m_buffer.data(), static_cast<std::size_t>(m_buffer.size()), options, encoding);
    if (!parsed) {
        return fail({empty ? ReadResult::Status::Empty : ReadResult::Status::Malformed,
                     static_cast<std::size_t>(parsed.offset),
                     QString::fromUtf8(parsed.description())});
    }
    if (!strictness) {
        return fail(strictness);
    }
    m_result = {ReadResult::Status::Read, 0, {}};
    return m_result;
}

ReadResult XmlDocument::fail(ReadResult result) {
    m_doc.reset();
    system::releaseBuffer(m_buffer);
    m_result = std::move(result);
    return m_result;
}

QByteArray XmlDocument::serialisedText(SerialisedForm form) const {
    return m_result ? serialise(m_doc, form, m_buffer.size()) : QByteArray();
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
    walkBelow(
        node,
        [&scratch](const pugi::xml_node& piece) {
            if (piece.type() == pugi::node_pcdata || piece.type() == pugi::node_cdata ||
                piece.type() == pugi::node_element) {
                scratch += piece.value();
            }
        },
        [](const pugi::xml_node&) {});
    return scratch;
}

QString nodeText(const pugi::xml_node& node) {
    std::string scratch;
    const std::string_view text = nodeTextUtf8(node, scratch);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace stowline::xml
