#pragma once

// Queries as the component builds and reads them, for tests that post an envelope themselves
// or want a query's text: the component keeps its builders to itself and its answers as UTF-8.
#include "service/Envelope.h"
#include "service/QueryOperation.h"
#include "service/ServiceClient.h"

#include <QString>

namespace stowline::test {

inline QString queryEnvelope(service::QueryOperation operation) {
    return service::envelopeWith(service::queryElement(service::operationName(operation)));
}

inline QString queryText(service::ServiceClient& client, service::QueryOperation operation) {
    return QString::fromUtf8(client.queryDataSet(operation));
}

} // namespace stowline::test
