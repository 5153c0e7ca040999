#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace stowline::controls {

// Lies over the whole component while it waits for the service: a veil, and on it what the
// component waits for, the time waited and a Cancel button (cmdCancelExchange), which takes the
// focus so that Esc, Enter and Space reach it. Cancel and Esc call the given function once.
class BusyIndication : public QWidget {
public:
    BusyIndication(QWidget* component, const QString& waitingFor, std::function<void()> cancel);
    // Gives the focus back to the widget that had it, when the indication took it.
    ~BusyIndication() override;
    BusyIndication(const BusyIndication&) = delete;
    BusyIndication& operator=(const BusyIndication&) = delete;

    void showWaited(int seconds);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void cancel();

    QLabel* m_waited = nullptr;
    QPushButton* m_cancelButton = nullptr;
    std::function<void()> m_cancel;
    QPointer<QWidget> m_previousFocus;
};

} // namespace stowline::controls
