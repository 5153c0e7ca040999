#include "controls/BusyWait.h"

#include "controls/ActionScope.h"
#include "controls/BusyIndication.h"
#include "controls/InputDrop.h"
#include "controls/WaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cstdint>
#include <exception>
#include <sys/eventfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace stowline::controls {
namespace {

constexpr int IndicationDelayMilliseconds = 1000;

// The work on its own thread. It says that it has ended by writing to a file descriptor that
// this thread's event loop watches: no object of this thread is touched from the other, and the
// write and the read order the two threads for the thread sanitizer as well.
class Worker {
public:
    Worker(const std::function<void(system::Cancellation&)>& work,
           system::Cancellation& cancellation)
        : m_ended(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (m_ended < 0) {
            return;
        }
        try {
            m_thread = std::thread([this, &work, &cancellation] {
                try {
                    work(cancellation);
                } catch (...) {
                    m_failure = std::current_exception();
                }
                const std::uint64_t one = 1;
                [[maybe_unused]] const ssize_t written = ::write(m_ended, &one, sizeof one);
            });
        } catch (const std::system_error&) {
            ::close(std::exchange(m_ended, -1));
        }
    }
    ~Worker() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_ended >= 0) {
            ::close(m_ended);
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool started() const { return m_thread.joinable(); }
    int endedDescriptor() const { return m_ended; }
    bool ended() const {
        std::uint64_t count = 0;
        return ::read(m_ended, &count, sizeof count) == sizeof count;
    }
    // Waits for the thread (which a cancellation has told to stop) and throws what it threw.
    void finish() {
        m_thread.join();
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
    }

private:
    int m_ended;
    std::thread m_thread;
    std::exception_ptr m_failure;
};

bool onApplicationThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && application->thread() == QThread::currentThread();
}

// The indication over the component, made when a second has passed; none without a component.
class Indication {
public:
    Indication(const QString& waitingFor, system::Cancellation& cancellation)
        : m_waitingFor(waitingFor), m_cancellation(cancellation) {
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
            m_shown = new BusyIndication(component, m_waitingFor, [this] {
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
    QString m_waitingFor;
    system::Cancellation& m_cancellation;
    QElapsedTimer m_waited;
    QPointer<BusyIndication> m_shown;
};

} // namespace

void waitOffTheUiThread(const QString& waitingFor,
                        const std::function<void(system::Cancellation&)>& work) {
    system::Cancellation cancellation;
    if (actionAbandoned()) {
        cancellation.cancel(system::Cancellation::Reason::Abandoned);
    }
    if (cancellation.requested() || !onApplicationThread()) {
        work(cancellation);
        return;
    }
    Worker worker(work, cancellation);
    if (!worker.started()) {
        work(cancellation);
        return;
    }
    QEventLoop loop;
    QSocketNotifier ended(worker.endedDescriptor(), QSocketNotifier::Read);
    QObject::connect(&ended, &QSocketNotifier::activated, &loop, [&] {
        if (worker.ended()) {
            ended.setEnabled(false);
            loop.quit();
        }
    });
    InputDrop drop;
    const WaitCursor waitCursor;
    const LoopExit exit([&] { cancellation.cancel(system::Cancellation::Reason::Abandoned); });
    Indication indication(waitingFor, cancellation);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        indication.tick();
        drop.spare(indication.widget());
    });
    tick.start(IndicationDelayMilliseconds);

    loop.exec();
    if (ended.isEnabled()) {
        // The loop was told to end from outside (the application quits): nobody waits any more.
        cancellation.cancel(system::Cancellation::Reason::Abandoned);
    }
    tick.stop();
    worker.finish();
    if (!actionAbandoned()) {
        // What arrived while the loop was ending.
        drop.spare(nullptr);
        QCoreApplication::processEvents();
    }
}

} // namespace stowline::controls
