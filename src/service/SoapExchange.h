#pragma once

#include "failures/ErrorInfo.h"
#include "service/ExchangeOutcome.h"

#include <QByteArray>
#include <QString>

namespace stowline::service {

// What the caller makes of an exchange's answer.
enum class AnswerUse {
    // An update: the answer is read no further than needed to know that the service accepted it.
    Update,
    // A host's query through ReturnWebserviceXML: the answer without its SOAP envelope tags.
    EnvelopeText,
    // The component's own query: the operation's data-set text.
    DataSet,
};

// One request to the service.
struct SoapRequest {
    QString url;
    // Only checked: the HTTP client derives the Host header from the URL, since a server name
    // with its scheme is not a valid Host value.
    QString host;
    QString soapAction;
    QString envelope;
    AnswerUse use = AnswerUse::EnvelopeText;
    // The query's operation name, for AnswerUse::DataSet.
    QString operation;
};

// What became of one exchange.
struct ExchangeResult {
    ExchangeOutcome outcome = ExchangeOutcome::Failed;
    // Answered: what the use asks for (nothing for an update); otherwise empty.
    QByteArray answer;
    // Failed or AnswerLost: the failure, as it was reported.
    ErrorInfo failure;
};

// The one way every exchange with the service goes. The envelope is parsed and serialised
// again, posted with its headers, and the answer read for its use. Nothing is posted when the
// Host or SOAPAction argument would break the request's header lines or the envelope is not
// well-formed. An update goes out at most once. A failure is reported once, through the error
// reporter under "ReturnWebserviceXML", and returned with what became of the request: a query
// fails on another status than 200, a SOAP fault, or an answer that is not XML or holds no data
// set; an update is not applied only on a SOAP fault or a status that refuses a request before
// any service acts, and any other answer that is not the service's acceptance is taken as its
// answer lost: the service may have applied it, and its description says so.
ExchangeResult exchange(const SoapRequest& request) noexcept;

} // namespace stowline::service
