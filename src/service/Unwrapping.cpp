#include "service/Unwrapping.h"

#include "service/TextReplace.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::service {

QString ReplaceEscapedXMLTags(QString XMLData) {
    XMLData = replaceAll(std::move(XMLData), u"&lt;", u"<");
    XMLData = replaceAll(std::move(XMLData), u"&gt;", u">");
    // After &lt; and &gt;, so that an escaped "&lt;" inside a value stays a reference the
    // data-set parser decodes to "<".
    XMLData = replaceAll(std::move(XMLData), u"&amp;", u"&");
    return replaceAll(std::move(XMLData), u"<?xml version=\"1.0\"?>",
                      QString::fromLatin1(LongDeclaration));
}

QString ReplaceSOAPEnvelopeTags(QString XMLData) {
    if (XMLData.isEmpty()) {
        return XMLData;
    }
    XMLData = replaceAll(std::move(XMLData),
                         u"<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
                         u" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                         u" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">",
                         u"");
    XMLData = replaceAll(std::move(XMLData), u"<soap:Body>", u"");
    XMLData = replaceAll(std::move(XMLData), u"</soap:Body>", u"");
    return replaceAll(std::move(XMLData), u"</soap:Envelope>", u"");
}

QString ReplaceOperationSOAPTags(const QString& operation, QString XMLData) {
    if (XMLData.isEmpty()) {
        return XMLData;
    }
    const QString responseStart = QLatin1Char('<') + operation +
                                  QStringLiteral("Response xmlns=\"") +
                                  QString::fromLatin1(ServiceNamespace) + QStringLiteral("\">");
    XMLData = replaceAll(std::move(XMLData), responseStart, u"");
    XMLData = replaceAll(std::move(XMLData), QStringLiteral("<%1Result>").arg(operation), u"");
    XMLData = replaceAll(std::move(XMLData), QStringLiteral("</%1Result>").arg(operation), u"");
    return replaceAll(std::move(XMLData), QStringLiteral("</%1Response>").arg(operation), u"");
}

QString ReplaceGetDeliveryRouteSOAPTags(QString XMLData) {
    return ReplaceOperationSOAPTags(QStringLiteral("GetDeliveryRoute"), std::move(XMLData));
}

QString ReplaceGetFacilitiesSOAPTags(QString XMLData) {
    if (XMLData.isEmpty()) {
        return XMLData;
    }
    XMLData = ReplaceOperationSOAPTags(QStringLiteral("GetFacilities"), std::move(XMLData));
    return replaceAll(std::move(XMLData), QString::fromLatin1(LongDeclaration), u"");
}

QString ReplaceGetRelativeDataSOAPTags(QString XMLData) {
    return ReplaceOperationSOAPTags(QStringLiteral("GetRelativeData"), std::move(XMLData));
}

QString ReplaceGetStorageLocationSOAPTags(QString XMLData) {
    return ReplaceOperationSOAPTags(QStringLiteral("GetStorageLocation"), std::move(XMLData));
}

} // namespace stowline::service
