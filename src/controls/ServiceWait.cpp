#include "controls/ServiceWait.h"

#include "controls/ActionScope.h"
#include "controls/BusyIndication.h"
#include "controls/InputDrop.h"
#include "controls/WaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace stowline::controls {
namespace {

constexpr int IndicationDelayMilliseconds = 1000;

bool onApplicationThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && application->thread() == QThread::currentThread();
}

// The indication over the component, made when a second has passed; none without a component.
class Indication {
public:
    Indication(const QString& operation, system::Cancellation& cancellation)
        : m_operation(operation), m_cancellation(cancellation) {
        m_waited.start();
    }
    ~Indication() { delete m_shown.data(); }
    Indication(const Indication&) = delete;
    Indication& operator=(const Indication&) = delete;

    QWidget* widget() const { return m_shown; }

    void tick() {
        if (m_shown == nullptr) {
            QWidget* component = actingComponent();
            if (component == nullptr) {
                return;
            }
            m_shown = new BusyIndication(component, m_operation, [this] {
                m_cancellation.cancel(system::Cancellation::Reason::Operator);
            });
            // The pointer says that the button can be clicked.
            if (QGuiApplication::overrideCursor() != nullptr) {
                QGuiApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
            }
        }
        m_shown->showWaited(static_cast<int>(m_waited.elapsed() / 1000));
    }

private:
    QString m_operation;
    system::Cancellation& m_cancellation;
    QElapsedTimer m_waited;
    QPointer<BusyIndication> m_shown;
};

} // namespace

void waitForService(const QString& operation,
                    const std::function<void(system::Cancellation*)>& exchange) {
    if (!onApplicationThread()) {
        exchange(nullptr);
        return;
    }
    system::Cancellation cancellation;
    if (actionAbandoned()) {
        cancellation.cancel(system::Cancellation::Reason::Abandoned);
        exchange(&cancellation);
        return;
    }
    InputDrop drop;
    const WaitCursor waitCursor;
    const LoopExit exit([&] { cancellation.cancel(system::Cancellation::Reason::Abandoned); });
    Indication indication(operation, cancellation);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        indication.tick();
        drop.spare(indication.widget());
    });
    tick.start(IndicationDelayMilliseconds);

    exchange(&cancellation);

    tick.stop();
    if (!actionAbandoned()) {
        // What arrived while the exchange was ending.
        drop.spare(nullptr);
        QCoreApplication::processEvents();
    }
}

} // namespace stowline::controls
