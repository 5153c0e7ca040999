#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace stowline::answer {

// The declaration the answer clean-up gives every query answer, and that only the facilities
// unwrapping removes again.
inline constexpr char LongDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
// The declaration of the serialised answer that the clean-up makes the long one.
inline constexpr char BareDeclaration[] = "<?xml version=\"1.0\"?>";

// The texts each removal cuts, in the order it cuts them: the SOAP envelope start tag (attributes
// in the order soap, xsi, xsd), <soap:Body>, </soap:Body> and </soap:Envelope>; and an
// operation's response start tag, result start and end tags and response end tag, for
// GetFacilities followed by the long declaration.
QStringList envelopeTagTexts();
QStringList operationTagTexts(const QString& operation);

// Turns the escaped data set inside a serialised answer back into markup: &lt; and &gt;, then
// &amp;, then the bare declaration <?xml version="1.0"?> becomes the long one.
QString ReplaceEscapedXMLTags(QString XMLData);
QByteArray ReplaceEscapedXMLTags(QByteArray XMLData);
// Its last step alone, for text whose references are already turned back.
QByteArray LengthenDeclarations(QByteArray XMLData);

// Cuts the SOAP envelope start tag (attributes in the order soap, xsi, xsd), <soap:Body>,
// </soap:Body> and </soap:Envelope>. The empty text stays empty.
QString ReplaceSOAPEnvelopeTags(QString XMLData);
QByteArray ReplaceSOAPEnvelopeTags(QByteArray XMLData);

// Cuts one operation's response and result tags, exactly as the service writes them (for
// GetFacilities also every long declaration). The byte versions do the same on UTF-8 text, for
// the component's own query path, which so never converts a whole answer to UTF-16.
QString ReplaceOperationSOAPTags(const QString& operation, QString XMLData);
QByteArray ReplaceOperationSOAPTags(const QString& operation, QByteArray XMLData);

QString ReplaceGetDeliveryRouteSOAPTags(QString XMLData);
// Also removes every long declaration.
QString ReplaceGetFacilitiesSOAPTags(QString XMLData);
QString ReplaceGetRelativeDataSOAPTags(QString XMLData);
QString ReplaceGetStorageLocationSOAPTags(QString XMLData);

} // namespace stowline::answer
