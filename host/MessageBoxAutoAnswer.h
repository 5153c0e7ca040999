#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace stowline::host {

// Answers every message box the application shows while it lives, when nobody can (screenshot
// mode): No to a question, so that nothing is changed on the operator's behalf, otherwise OK.
// Each box is described to `report` (one line per box, e.g. for stderr) and counted. It watches
// the application's windows, so it needs nothing of the component's own.
class MessageBoxAutoAnswer : public QObject {
    Q_OBJECT

public:
    using Reporter = std::function<void(const QString& line)>;

    explicit MessageBoxAutoAnswer(Reporter report);
    ~MessageBoxAutoAnswer() override;
    MessageBoxAutoAnswer(const MessageBoxAutoAnswer&) = delete;
    MessageBoxAutoAnswer& operator=(const MessageBoxAutoAnswer&) = delete;

    int answered() const { return m_answered; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Reporter m_report;
    int m_answered = 0;
};

} // namespace stowline::host
