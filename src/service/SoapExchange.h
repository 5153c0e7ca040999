#pragma once

#include "service/ExchangeOutcome.h"

#include <QByteArray>
#include <QString>

namespace stowline::service {

// One SOAP exchange as the transport performs it: the envelope is parsed and serialised again,
// posted with its headers, and the answer checked. Throws StowlineError when the Host or
// SOAPAction argument would break the request's header lines or the envelope is not
// well-formed (nothing is posted in either case), the exchange fails, the service answers with
// another status than 200 or a SOAP fault, or a query's answer is not XML. For a query it
// returns the answer's serialised text (UTF-8) with the escaped data set turned back into
// markup and the envelope tags removed; for an update it returns "". An update goes out at most
// once. outcome tells what became of the exchange, also when it throws; the description of an
// update whose answer was lost says that the service may have applied it.
QByteArray exchangeSoap(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                        const QString& SOAPEnvelope, bool update, ExchangeOutcome& outcome);

// The same exchange for a query, up to the answer's body, which it returns as it came once the
// exchange was answered with status 200. The caller checks it: with cleanedAnswer, or with a
// way of its own that gives the same.
QByteArray postQuery(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                     const QString& SOAPEnvelope, ExchangeOutcome& outcome);

// What the transport makes of a query's answer with status 200: throws StowlineError when it is
// empty, not XML or a SOAP fault; otherwise returns its serialised text with the escaped data
// set turned back into markup and the envelope tags removed.
QByteArray cleanedAnswer(QByteArray&& body, const QString& AsmxUrl);

} // namespace stowline::service
