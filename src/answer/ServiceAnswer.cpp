#include "answer/ServiceAnswer.h"

#include "answer/Unwrapping.h"
#include "http/PasswordRedaction.h"
#include "xml/XmlDocument.h"

#include <cstring>

namespace stowline::answer {
namespace {

using Status = AnswerRead::Status;

const char* localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

pugi::xml_node childByLocalName(const pugi::xml_node& parent, const char* name) {
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element && std::strcmp(localName(child), name) == 0) {
            return child;
        }
    }
    return {};
}

std::optional<QString> faultIn(const pugi::xml_document& answer, const QString& url) {
    const pugi::xml_node envelope = childByLocalName(answer, "Envelope");
    const pugi::xml_node fault = childByLocalName(childByLocalName(envelope, "Body"), "Fault");
    if (!fault) {
        return std::nullopt;
    }
    const QString text = xml::nodeText(childByLocalName(fault, "faultstring"));
    return text.isEmpty() ? QStringLiteral("(no faultstring)") : http::withoutPassword(text, url);
}

// An answer must be XML without a SOAP fault, for an update as for a query: an empty answer,
// plain text or an HTML page means the service did not do what was asked. Accepted (with no
// text) when it is.
AnswerRead loaded(xml::XmlDocument& answer, QByteArray&& body, const QString& url) {
    if (body.isEmpty()) {
        return {Status::Foreign, {}, QStringLiteral("The service's answer is empty")};
    }
    if (const xml::ReadResult read = answer.loadXMLInPlace(std::move(body)); !read) {
        return {Status::Foreign,
                {},
                QStringLiteral("The service's answer is not XML (%1)").arg(read.description())};
    }
    if (const std::optional<QString> fault = faultIn(answer.dom(), url)) {
        return {
            Status::Fault, {}, QStringLiteral("The service answered with a SOAP fault: ") + *fault};
    }
    return {Status::Accepted, {}, {}};
}

} // namespace

std::optional<QString> soapFaultOf(QByteArray body, const QString& url) {
    xml::XmlDocument answer;
    if (body.isEmpty() || !answer.loadXMLInPlace(std::move(body))) {
        return std::nullopt;
    }
    return faultIn(answer.dom(), url);
}

AnswerRead readUpdateAnswer(QByteArray&& body, const QString& url) {
    xml::XmlDocument answer;
    const AnswerRead read = loaded(answer, std::move(body), url);
    const pugi::xml_node root = answer.dom().document_element();
    if (read.status == Status::Accepted && std::strcmp(localName(root), "Envelope") != 0) {
        return {Status::Foreign,
                {},
                QStringLiteral("The service's answer is not a SOAP envelope (its document "
                               "element is <%1>)")
                    .arg(QString::fromUtf8(root.name()))};
    }
    return read;
}

AnswerRead readEnvelopeText(QByteArray&& body, const QString& url) {
    xml::XmlDocument answer;
    AnswerRead read = loaded(answer, std::move(body), url);
    if (read.status == Status::Accepted) {
        read.text = ReplaceSOAPEnvelopeTags(
            LengthenDeclarations(answer.serialisedText(xml::SerialisedForm::ReferencesTurnedBack)));
    }
    return read;
}

} // namespace stowline::answer
