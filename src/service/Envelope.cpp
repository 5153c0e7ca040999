#include "service/Envelope.h"

#include "answer/TextReplace.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::service {

QString GetSOAPEnvelope() {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<soap:Envelope"
                          " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                          " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
                          " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "  <soap:Body>"
                          "    XMLData "
                          "  </soap:Body>"
                          " </soap:Envelope>");
}

QString envelopeWith(const QString& element) {
    QString envelope = GetSOAPEnvelope();
    answer::replaceEvery(envelope, QString::fromLatin1(EnvelopePlaceholder), element);
    return envelope;
}

QString queryElement(const QString& operation) {
    return QStringLiteral(" <") + operation + QStringLiteral(" xmlns=\"") +
           QString::fromLatin1(ServiceNamespace) + QStringLiteral("\" />");
}

QString escapeXmlText(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString updateElement(const QString& operation, std::initializer_list<UpdateChild> children) {
    QString element = QStringLiteral("<") + operation + QStringLiteral(" xmlns=\"") +
                      QString::fromLatin1(ServiceNamespace) + QStringLiteral("\">");
    for (const auto& [name, value] : children) {
        const QString tag = QString::fromLatin1(name);
        element += QStringLiteral("      <") + tag + QLatin1Char('>') + escapeXmlText(value) +
                   QStringLiteral("</") + tag + QLatin1Char('>');
    }
    element += QStringLiteral("</") + operation + QLatin1Char('>');
    return element;
}

} // namespace stowline::service
