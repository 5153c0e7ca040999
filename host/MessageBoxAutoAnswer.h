#pragma once

#include "platform/MessageBox.h"

#include <QString>
#include <functional>
#include <memory>

namespace stowline::host {

// Answers the component's message boxes when nobody can (screenshot mode): OK, or No for a
// question, so that nothing is changed on the operator's behalf. Each box is described to
// `report` (one line per box, e.g. for stderr) and counted.
class MessageBoxAutoAnswer {
public:
    using Reporter = std::function<void(const QString& line)>;

    explicit MessageBoxAutoAnswer(Reporter report);
    // Restores the real message boxes.
    ~MessageBoxAutoAnswer();
    MessageBoxAutoAnswer(const MessageBoxAutoAnswer&) = delete;
    MessageBoxAutoAnswer& operator=(const MessageBoxAutoAnswer&) = delete;

    int answered() const { return *m_answered; }

    // The answer given to a box of this style.
    static int answerFor(int style);

private:
    std::shared_ptr<int> m_answered = std::make_shared<int>(0);
};

} // namespace stowline::host
