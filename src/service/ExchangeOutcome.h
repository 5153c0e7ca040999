#pragma once

namespace stowline::service {

// What became of one exchange with the service, as far as the component can know.
enum class ExchangeOutcome {
    // The service answered, and accepted the request.
    Answered,
    // Nothing was sent, or the answer says that the request was not acted on: a SOAP fault, or
    // a status with which a server refuses a request before any service acts (a query: any
    // answer that is not the service's data set).
    Failed,
    // The request went out and the service's answer never came (the connection closed, the
    // exchange stalled or trickled, the answer was too large, or a gateway answered in its
    // place with a page of its own or nothing): the service may have acted on it, and an
    // update must not be sent again as if it had not.
    AnswerLost,
};

} // namespace stowline::service
