#include "pages/ChangeOutcome.h"

namespace stowline::pages {

bool changeAccepted(service::ExchangeOutcome outcome,
                    const std::function<void()>& showServiceState) {
    if (outcome == service::ExchangeOutcome::AnswerLost) {
        showServiceState();
    }
    return outcome == service::ExchangeOutcome::Answered;
}

} // namespace stowline::pages
