#include "service/SoapExchange.h"

#include "answer/DataSetAnswer.h"
#include "answer/ServiceAnswer.h"
#include "controls/ServiceWait.h"
#include "http/HttpExchange.h"
#include "reporting/Guarded.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <array>

namespace stowline::service {
namespace {

using answer::AnswerRead;

ExchangeResult failure(ExchangeOutcome outcome, const QString& description) {
    return {outcome, {}, ErrorInfo{0, description, QString()}};
}

// An update whose answer was not the service's: said in its description, so that the operator
// and the log know that the service may have done what was asked.
ExchangeResult updateAnswerLost(const QString& description, const char* why) {
    return failure(ExchangeOutcome::AnswerLost,
                   description + QStringLiteral("; the update was sent and ") + QLatin1String(why) +
                       QStringLiteral(", so the service may have applied it"));
}

// A header value that holds a line break would end its header line and start one of its own;
// other control characters have no place in one either. Refused before anything is sent.
bool breaksHeaderLine(const QString& value) {
    return std::any_of(value.begin(), value.end(), [](QChar c) {
        return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F;
    });
}

// The one HTTP call of an exchange: posts the body and waits for the whole answer.
http::HttpResponse post(const SoapRequest& request, const QByteArray& body) {
    const std::vector<http::HttpHeader> headers = {
        {"Content-Type", "text/xml; charset=utf-8"},
        {"Content-Length", QByteArray::number(static_cast<qulonglong>(body.size()))},
        {"SOAPAction", request.soapAction.toUtf8()},
    };
    // The user interface keeps painting meanwhile. A cancelled exchange is one whose answer
    // never came: lost, when its request went out.
    http::HttpResponse response;
    controls::waitForService(
        request.soapAction.section(QLatin1Char('/'), -1), [&](system::Cancellation* cancellation) {
            response = http::httpPost(
                request.url, headers,
                std::string_view(body.constData(), static_cast<std::size_t>(body.size())),
                request.use == AnswerUse::Update ? http::Resending::OnlyAfterChallenge
                                                 : http::Resending::Allowed,
                cancellation);
        });
    return response;
}

// An exchange whose answer never came whole.
ExchangeResult unanswered(const http::HttpResponse& response, bool update) {
    const QString description =
        QStringLiteral("ReturnWebservice Method could not load XML data (") +
        response.transportError + QLatin1Char(')');
    if (!response.answerLost) {
        return failure(ExchangeOutcome::Failed, description);
    }
    return update ? updateAnswerLost(description, "its answer was lost")
                  : failure(ExchangeOutcome::AnswerLost, description);
}

// The statuses with which an HTTP server refuses a request before any service could act on it:
// credentials, permission, the path, the method, and what the request is made of.
bool refusedBeforeAnyService(long status) {
    constexpr std::array<long, 10> Refusals = {401, 403, 404, 405, 407, 411, 413, 414, 415, 431};
    return std::find(Refusals.begin(), Refusals.end(), status) != Refusals.end();
}

// An answer with another status than 200: a failure, with the SOAP fault's text when the
// answer carries one. For an update, only such a fault or a refusal tells that it was not
// applied: a gateway answers 502 or 504 after the service may have done so.
ExchangeResult otherStatus(http::HttpResponse&& response, const SoapRequest& request) {
    QString description =
        QStringLiteral("The service answered with HTTP status %1").arg(response.status);
    const std::optional<QString> fault = answer::soapFaultOf(std::move(response.body), request.url);
    if (fault) {
        description += QStringLiteral(": ") + *fault;
    }
    if (request.use == AnswerUse::Update && !fault && !refusedBeforeAnyService(response.status)) {
        return updateAnswerLost(description, "no answer of the service came back");
    }
    return failure(ExchangeOutcome::Failed, description);
}

// An answer with status 200, read for its use.
ExchangeResult answered(QByteArray&& body, const SoapRequest& request) {
    AnswerRead read;
    switch (request.use) {
    case AnswerUse::Update:
        read = answer::readUpdateAnswer(std::move(body), request.url);
        break;
    case AnswerUse::EnvelopeText:
        read = answer::readEnvelopeText(std::move(body), request.url);
        break;
    case AnswerUse::DataSet:
        read = answer::readDataSet(std::move(body), request.operation, request.url);
        break;
    }
    if (read.status == AnswerRead::Status::Accepted) {
        return {ExchangeOutcome::Answered, std::move(read.text), {}};
    }
    // A fault is the service's refusal; what is not its answer at all may stand in the place of
    // its acceptance.
    if (request.use == AnswerUse::Update && read.status == AnswerRead::Status::Foreign) {
        return updateAnswerLost(read.description, "no answer of the service came back");
    }
    return failure(ExchangeOutcome::Failed, read.description);
}

ExchangeResult run(const SoapRequest& request) {
    for (const auto& [name, value] :
         {std::pair{"Host", &request.host}, std::pair{"SOAPAction", &request.soapAction}}) {
        if (breaksHeaderLine(*value)) {
            return failure(ExchangeOutcome::Failed,
                           QStringLiteral("The %1 argument holds a line break or another control "
                                          "character; nothing was sent")
                               .arg(QLatin1String(name)));
        }
    }
    xml::XmlDocument envelope;
    if (const xml::ReadResult read = envelope.loadXML(request.envelope); !read) {
        return failure(ExchangeOutcome::Failed,
                       QStringLiteral("The SOAP envelope is not well-formed XML (%1); nothing was "
                                      "sent")
                           .arg(read.description()));
    }
    http::HttpResponse response = post(request, envelope.serialisedText());
    if (!response.completed) {
        return unanswered(response, request.use == AnswerUse::Update);
    }
    if (response.status != 200) {
        return otherStatus(std::move(response), request);
    }
    return answered(std::move(response.body), request);
}

} // namespace

ExchangeResult exchange(const SoapRequest& request) noexcept {
    ExchangeResult result;
    try {
        result = run(request);
    } catch (...) {
        result = ExchangeResult{};
        try {
            result.failure = currentErrorInfo();
        } catch (...) {
            // Described as nothing: the report still tells that the exchange failed.
        }
    }
    if (result.outcome != ExchangeOutcome::Answered) {
        reportFailure(result.failure, QStringLiteral("ReturnWebserviceXML"));
    }
    return result;
}

} // namespace stowline::service
