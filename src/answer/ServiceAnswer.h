#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace stowline::answer {

// What an answer's body turned out to be, read as far as the use it is put to needs.
struct AnswerRead {
    enum class Status {
        // The service's answer to what was asked; text holds what the use asks for.
        Accepted,
        // A SOAP fault: the service refused the request.
        Fault,
        // Not an answer the service writes when it did what was asked (empty, not XML, not a
        // SOAP envelope, no data set): it may come from a gateway between the component and
        // the service.
        Foreign,
    };

    Status status = Status::Foreign;
    QByteArray text;
    // Why it was not accepted; empty when it was.
    QString description;
};

// The faultstring of the SOAP fault the body carries, if it carries one ("(no faultstring)"
// for a fault without one). A service that echoes the request's credentials must not put the
// password into a description: it is masked as in the URL.
std::optional<QString> soapFaultOf(QByteArray body, const QString& url);

// An update's answer, read no further than needed to know that it is the service's acceptance:
// a SOAP envelope without a fault.
AnswerRead readUpdateAnswer(QByteArray&& body, const QString& url);

// The literal path of a query's answer, what the design's public methods give a host: XML
// without a SOAP fault, parsed and serialised again (XmlDocument::serialisedText), then
// ReplaceEscapedXMLTags and ReplaceSOAPEnvelopeTags. The references are turned back as the
// serialised text is written, which gives what ReplaceEscapedXMLTags makes of the escaped one.
AnswerRead readEnvelopeText(QByteArray&& body, const QString& url);

} // namespace stowline::answer
