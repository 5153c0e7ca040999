#pragma once

namespace stowline::service {

// What became of one exchange with the service, as far as the component can know.
enum class ExchangeOutcome {
    // The service answered, and accepted the request.
    Answered,
    // Nothing was sent, or the service answered with a refusal: it did not act on the request.
    Failed,
    // The request went out and its answer never came whole (the connection closed, the
    // exchange stalled or trickled, the answer was too large): the service may have acted on
    // it, and an update must not be sent again as if it had not.
    AnswerLost,
};

} // namespace stowline::service
