#pragma once

#include "service/ExchangeOutcome.h"

#include <functional>

namespace stowline::pages {

// How a page goes on after it sent a change (an add, a change, a delete, an assignment), the
// same for every page. The transport has reported whatever went wrong, once.
// - Answered: true; the page goes on with its success steps.
// - Failed (refused or never sent): false; the page stays as it is, in its mode with the
//   operator's input, for another try or a cancel.
// - AnswerLost: false, after showServiceState ran. The service may have applied the change, so
//   the page reads its data again and its list shows what the service holds; it stays in its
//   mode with the operator's input. A second Save of an add the service did apply then meets
//   the page's duplicate check instead of storing the record twice.
bool changeAccepted(service::ExchangeOutcome outcome,
                    const std::function<void()>& showServiceState);

} // namespace stowline::pages
