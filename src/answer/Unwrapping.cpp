#include "answer/Unwrapping.h"

#include "answer/TextReplace.h"
#include "xml/ReferenceTurnBack.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::answer {
namespace {

// The clean-up works the same on UTF-16 text and on UTF-8 bytes: every pattern is ASCII, so
// matching bytes gives the same replacements as matching code units.
template <typename Text> Text literal(const char* text) {
    if constexpr (std::is_same_v<Text, QString>) {
        return QString::fromLatin1(text);
    } else {
        return QByteArray(text);
    }
}

template <typename Text> Text literal(const QString& text) {
    if constexpr (std::is_same_v<Text, QString>) {
        return text;
    } else {
        return text.toUtf8();
    }
}

// &lt;, &gt; and &amp; in one scan, in place; a text without "&" is not even detached.
void turnBackEscapes(QByteArray& text) {
    if (!text.contains('&')) {
        return;
    }
    char* begin = text.data();
    text.truncate(xml::turnBackReferences(begin, begin + text.size()) - begin);
}

void turnBackEscapes(QString& text) {
    if (!text.contains(u'&')) {
        return;
    }
    auto* begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(xml::turnBackReferences(begin, begin + text.size()) - begin);
}

template <typename Text> void lengthenDeclarations(Text& text) {
    replaceEvery(text, literal<Text>(BareDeclaration), literal<Text>(LongDeclaration));
}

template <typename Text> Text escapedTags(Text text) {
    turnBackEscapes(text);
    lengthenDeclarations(text);
    return text;
}

template <typename Text> Text envelopeTags(Text text) {
    if (text.isEmpty()) {
        return text;
    }
    for (const QString& tag : envelopeTagTexts()) {
        replaceEvery(text, literal<Text>(tag), Text());
    }
    return text;
}

template <typename Text> Text operationTags(const QString& operation, Text text) {
    if (text.isEmpty()) {
        return text;
    }
    for (const QString& tag : operationTagTexts(operation)) {
        replaceEvery(text, literal<Text>(tag), Text());
    }
    return text;
}

} // namespace

QStringList envelopeTagTexts() {
    return {QStringLiteral("<soap:Envelope"
                           " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
                           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"),
            QStringLiteral("<soap:Body>"), QStringLiteral("</soap:Body>"),
            QStringLiteral("</soap:Envelope>")};
}

QStringList operationTagTexts(const QString& operation) {
    QStringList tags{QStringLiteral("<%1Response xmlns=\"%2\">")
                         .arg(operation, QString::fromLatin1(ServiceNamespace)),
                     QStringLiteral("<%1Result>").arg(operation),
                     QStringLiteral("</%1Result>").arg(operation),
                     QStringLiteral("</%1Response>").arg(operation)};
    if (operation == QLatin1String(operation_name::GetFacilities)) {
        tags.append(QString::fromLatin1(LongDeclaration));
    }
    return tags;
}

QString ReplaceEscapedXMLTags(QString XMLData) {
    return escapedTags(std::move(XMLData));
}

QByteArray ReplaceEscapedXMLTags(QByteArray XMLData) {
    return escapedTags(std::move(XMLData));
}

QByteArray LengthenDeclarations(QByteArray XMLData) {
    lengthenDeclarations(XMLData);
    return XMLData;
}

QString ReplaceSOAPEnvelopeTags(QString XMLData) {
    return envelopeTags(std::move(XMLData));
}

QByteArray ReplaceSOAPEnvelopeTags(QByteArray XMLData) {
    return envelopeTags(std::move(XMLData));
}

QString ReplaceOperationSOAPTags(const QString& operation, QString XMLData) {
    return operationTags(operation, std::move(XMLData));
}

QByteArray ReplaceOperationSOAPTags(const QString& operation, QByteArray XMLData) {
    return operationTags(operation, std::move(XMLData));
}

QString ReplaceGetDeliveryRouteSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetDeliveryRoute), std::move(XMLData));
}

QString ReplaceGetFacilitiesSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetFacilities), std::move(XMLData));
}

QString ReplaceGetRelativeDataSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetRelativeData), std::move(XMLData));
}

QString ReplaceGetStorageLocationSOAPTags(QString XMLData) {
    return operationTags(QString::fromLatin1(operation_name::GetStorageLocation),
                         std::move(XMLData));
}

} // namespace stowline::answer
