#pragma once

#include "xml/ReadResult.h"
#include "xml/XmlSerialiser.h"

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace stowline::xml {

// An XML DOM document. Parsing never expands entities other than the five predefined ones and
// never reads anything outside the given text.
class XmlDocument {
public:
    XmlDocument() = default;
    ~XmlDocument();
    // The DOM points into m_buffer, whose short texts live inside the object itself: a moved or
    // copied document would read the old object's memory.
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses the text into the document, replacing what it held. On failure (also for text that
    // is not well-formed, such as a bare "&" or an entity other than the five predefined ones)
    // the document is empty, and the result says why.
    ReadResult loadXML(std::string_view utf8);
    // Text built by the component (an envelope) is also refused when it holds a character XML
    // does not allow, such as U+0001.
    ReadResult loadXML(const QString& text);
    // Parses a buffer the document may modify in place (saves a copy of large answers).
    ReadResult loadXMLInPlace(QByteArray&& text);
    // The same for a document that is only read, never written again: an element's first text
    // is kept as the element's value (nodeText reads it), which halves the nodes of a data set.
    ReadResult loadForReading(QByteArray&& text);

    // What the last load gave.
    const ReadResult& result() const { return m_result; }

    // The document written in the serialised text form the transport and the answer clean-up
    // rely on: the declaration (when the text began with one) rewritten as <?xml version="1.0"?>
    // plus CR LF, no whitespace-only text, attributes in document order, &, < and > escaped in
    // character data. An empty document serialises to the empty string.
    QByteArray serialisedText(SerialisedForm form = SerialisedForm::Escaped) const;

    const pugi::xml_document& dom() const { return m_doc; }

private:
    ReadResult load(QByteArray&& text, pugi::xml_encoding encoding, unsigned int options);
    // Empties the document and keeps the result.
    ReadResult fail(ReadResult result);

    pugi::xml_document m_doc;
    QByteArray m_buffer;
    ReadResult m_result;
};

// All character data inside a node, in document order, also where a document read for reading
// keeps it as an element's value.
QString nodeText(const pugi::xml_node& node);
// The same as UTF-8: a view of the document where the node holds one piece of text, otherwise
// of the scratch string, into which the pieces are gathered.
std::string_view nodeTextUtf8(const pugi::xml_node& node, std::string& scratch);

} // namespace stowline::xml
