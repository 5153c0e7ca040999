#include "service/SoapExchange.h"

#include "answer/Unwrapping.h"
#include "controls/ServiceWait.h"
#include "failures/StowlineError.h"
#include "http/HttpExchange.h"
#include "http/PasswordRedaction.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace stowline::service {
namespace {

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

// The faultstring of a SOAP fault in the answer's body, if it carries one. A service that echoes
// the request's credentials must not put the password into the error description.
std::optional<QString> soapFault(const pugi::xml_document& answer, const QString& url) {
    const pugi::xml_node envelope = childByLocalName(answer, "Envelope");
    const pugi::xml_node fault = childByLocalName(childByLocalName(envelope, "Body"), "Fault");
    if (!fault) {
        return std::nullopt;
    }
    const QString text = xml::nodeText(childByLocalName(fault, "faultstring"));
    return text.isEmpty() ? QStringLiteral("(no faultstring)") : http::withoutPassword(text, url);
}

// Another status than 200 is a failure, with the SOAP fault's text when the answer carries one.
void checkStatus(const http::HttpResponse& response, const QString& url) {
    if (response.status == 200) {
        return;
    }
    QString description =
        QStringLiteral("The service answered with HTTP status %1").arg(response.status);
    xml::XmlDocument answer;
    if (!response.body.isEmpty() && answer.loadXMLInPlace(QByteArray(response.body))) {
        if (const std::optional<QString> fault = soapFault(answer.dom(), url)) {
            description += QStringLiteral(": ") + *fault;
        }
    }
    raiseTransportFailure(description);
}

// A 200 answer must be XML without a SOAP fault, for an update as for a query: an empty answer,
// plain text or an HTML page means the service did not do what was asked.
void checkAnswer(xml::XmlDocument& answer, QByteArray&& body, const QString& url) {
    if (body.isEmpty()) {
        raiseTransportFailure(QStringLiteral("The service's answer is empty"));
    }
    if (!answer.loadXMLInPlace(std::move(body))) {
        raiseTransportFailure(
            QStringLiteral("The service's answer is not XML (%1)").arg(answer.parseErrorReason()));
    }
    if (const std::optional<QString> fault = soapFault(answer.dom(), url)) {
        raiseTransportFailure(QStringLiteral("The service answered with a SOAP fault: ") + *fault);
    }
}

// An update's answer is read no further than this, so it must at least be the service's: a
// SOAP envelope. (A query's answer is held to holding a data set once it is unwrapped.)
void checkUpdateAnswer(const xml::XmlDocument& answer) {
    const pugi::xml_node root = answer.dom().document_element();
    if (std::strcmp(localName(root), "Envelope") != 0) {
        raiseTransportFailure(
            QStringLiteral("The service's answer is not a SOAP envelope (its document element is "
                           "<%1>)")
                .arg(QString::fromUtf8(root.name())));
    }
}

// A header value that holds a line break would end its header line and start one of its own;
// other control characters have no place in one either. Refused before anything is sent.
void requireHeaderValue(const char* name, const QString& value) {
    const auto breaksLine = [](QChar c) {
        return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F;
    };
    if (std::any_of(value.begin(), value.end(), breaksLine)) {
        raiseTransportFailure(QStringLiteral("The %1 argument holds a line break or another "
                                             "control character; nothing was sent")
                                  .arg(QLatin1String(name)));
    }
}

// Posts the envelope and waits for the whole answer; throws unless it came whole with status 200.
http::HttpResponse send(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                        const QString& SOAPEnvelope, bool update, ExchangeOutcome& outcome) {
    outcome = ExchangeOutcome::Failed;
    requireHeaderValue("Host", Host);
    requireHeaderValue("SOAPAction", SOAPAction);
    xml::XmlDocument request;
    if (!request.loadXML(SOAPEnvelope)) {
        raiseTransportFailure(QStringLiteral("The SOAP envelope is not well-formed XML (%1); "
                                             "nothing was sent")
                                  .arg(request.parseErrorReason()));
    }
    const QByteArray body = request.serialisedText();
    const std::vector<http::HttpHeader> headers = {
        {"Content-Type", "text/xml; charset=utf-8"},
        {"Content-Length", QByteArray::number(static_cast<qulonglong>(body.size()))},
        {"SOAPAction", SOAPAction.toUtf8()},
    };

    // The user interface keeps painting meanwhile. A cancelled exchange is one whose answer
    // never came: lost, when its request went out.
    http::HttpResponse response;
    controls::waitForService(
        SOAPAction.section(QLatin1Char('/'), -1), [&](system::Cancellation* cancellation) {
            response = http::httpPost(
                AsmxUrl, headers,
                std::string_view(body.constData(), static_cast<std::size_t>(body.size())),
                update ? http::Resending::OnlyAfterChallenge : http::Resending::Allowed,
                cancellation);
        });
    if (!response.completed) {
        QString description = QStringLiteral("ReturnWebservice Method could not load XML data (") +
                              response.transportError + QLatin1Char(')');
        if (response.answerLost) {
            outcome = ExchangeOutcome::AnswerLost;
            if (update) {
                description += QStringLiteral("; the update was sent and its answer was lost, so "
                                              "the service may have applied it");
            }
        }
        raiseTransportFailure(description);
    }
    checkStatus(response, AsmxUrl);
    return response;
}

} // namespace

QByteArray exchangeSoap(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                        const QString& SOAPEnvelope, bool update, ExchangeOutcome& outcome) {
    http::HttpResponse response = send(AsmxUrl, Host, SOAPAction, SOAPEnvelope, update, outcome);
    if (update) {
        xml::XmlDocument answer;
        checkAnswer(answer, std::move(response.body), AsmxUrl);
        checkUpdateAnswer(answer);
        outcome = ExchangeOutcome::Answered;
        return QByteArray();
    }
    QByteArray text = cleanedAnswer(std::move(response.body), AsmxUrl);
    outcome = ExchangeOutcome::Answered;
    return text;
}

QByteArray postQuery(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                     const QString& SOAPEnvelope, ExchangeOutcome& outcome) {
    http::HttpResponse response = send(AsmxUrl, Host, SOAPAction, SOAPEnvelope, false, outcome);
    outcome = ExchangeOutcome::Answered;
    return std::move(response.body);
}

QByteArray cleanedAnswer(QByteArray&& body, const QString& AsmxUrl) {
    xml::XmlDocument answer;
    checkAnswer(answer, std::move(body), AsmxUrl);
    // The serialised answer with its references turned back is what ReplaceEscapedXMLTags
    // makes of the escaped one; each later step works in place on that one text.
    return answer::ReplaceSOAPEnvelopeTags(answer::LengthenDeclarations(
        answer.serialisedText(xml::SerialisedForm::ReferencesTurnedBack)));
}

} // namespace stowline::service
