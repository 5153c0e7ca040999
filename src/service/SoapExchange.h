#pragma once

#include <QByteArray>
#include <QString>

namespace stowline::service {

// One SOAP exchange as the transport performs it: the envelope is parsed and serialised again,
// posted with its headers, and the answer checked. Throws StowlineError when the envelope is
// not well-formed (nothing is posted), the exchange fails, the service answers with another
// status than 200 or a SOAP fault, or a query's answer is not XML. For a query it returns the
// answer's serialised text (UTF-8) with the escaped data set turned back into markup and the
// envelope tags removed; for an update it returns "".
QByteArray exchangeSoap(const QString& AsmxUrl, const QString& SOAPAction,
                        const QString& SOAPEnvelope, bool update);

} // namespace stowline::service
