#include "http/EventLoopTransfer.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace stowline::http {
namespace {

struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

class EventLoopTransfer {
public:
    explicit EventLoopTransfer(CURLM* multi) : m_multi(multi) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
        QObject::connect(&m_heartbeat, &QTimer::timeout, [this] { beat(); });
        m_heartbeat.start(HeartbeatMilliseconds);
        curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, onSocket);
        curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, onTimer);
        curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
    }
    // Closing the connections it keeps, the multi handle would call back into this.
    ~EventLoopTransfer() {
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
    }
    EventLoopTransfer(const EventLoopTransfer&) = delete;
    EventLoopTransfer& operator=(const EventLoopTransfer&) = delete;

    // Whether the transfer came to its end; its result is then in result().
    bool run(system::Cancellation& cancellation) {
        cancellation.setWaker([this] { m_loop.quit(); });
        if (!m_done && !cancellation.requested()) {
            m_loop.exec();
        }
        cancellation.setWaker({});
        m_timer.stop();
        m_heartbeat.stop();
        return m_done;
    }
    CURLcode result() const { return m_result; }

private:
    // A socket curl watches, under its number (which a later connection may reuse). Notifiers
    // are only disabled while the loop runs: one may be the sender of the signal being handled.
    struct Watch {
        curl_socket_t socket;
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    static int onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
        static_cast<EventLoopTransfer*>(self)->watch(socket, what);
        return 0;
    }
    static int onTimer(CURLM*, long milliseconds, void* self) {
        auto* transfer = static_cast<EventLoopTransfer*>(self);
        if (milliseconds < 0) {
            transfer->m_timer.stop();
        } else {
            transfer->m_timer.start(static_cast<int>(std::min(milliseconds, long{INT_MAX})));
        }
        return 0;
    }

    void watch(curl_socket_t socket, int what) {
        Watch* watch = nullptr;
        for (Watch& known : m_watches) {
            watch = known.socket == socket ? &known : watch;
        }
        if (watch == nullptr) {
            watch = &m_watches.emplace_back(Watch{socket, notifier(socket, QSocketNotifier::Read),
                                                  notifier(socket, QSocketNotifier::Write)});
        }
        watch->read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
        watch->write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    }

    std::unique_ptr<QSocketNotifier> notifier(curl_socket_t socket, QSocketNotifier::Type type) {
        auto notifier = std::make_unique<QSocketNotifier>(socket, type);
        notifier->setEnabled(false);
        const int event = type == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
        QObject::connect(notifier.get(), &QSocketNotifier::activated,
                         [this, socket, event] { act(socket, event); });
        return notifier;
    }

    void act(curl_socket_t socket, int events) {
        if (m_done) {
            return;
        }
        int running = 0;
        if (curl_multi_socket_action(m_multi, socket, events, &running) != CURLM_OK) {
            finish(CURLE_RECV_ERROR);
            return;
        }
        int left = 0;
        while (const CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
            if (message->msg == CURLMSG_DONE) {
                finish(message->data.result);
                return;
            }
        }
    }

    // While nothing moves, curl sets no timer of its own and would not be called at all: the
    // exchange's pace, which decides when a stalled exchange is given up, is checked only when
    // curl runs the transfer. So it is run once a second, as curl's own wait does.
    void beat() {
        std::vector<curl_socket_t> watched; // acting may add watches
        for (const Watch& watch : m_watches) {
            if (watch.read->isEnabled() || watch.write->isEnabled()) {
                watched.push_back(watch.socket);
            }
        }
        for (const curl_socket_t socket : watched) {
            act(socket, 0); // curl looks at the socket itself
        }
        if (watched.empty()) {
            act(CURL_SOCKET_TIMEOUT, 0);
        }
    }

    void finish(CURLcode result) {
        m_done = true;
        m_result = result;
        m_timer.stop();
        m_heartbeat.stop();
        m_loop.quit();
    }

    static constexpr int HeartbeatMilliseconds = 1000;

    CURLM* m_multi;
    QEventLoop m_loop;
    QTimer m_timer;
    QTimer m_heartbeat;
    std::vector<Watch> m_watches;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
};

} // namespace

CURLcode performInEventLoop(CURL* handle, system::Cancellation& cancellation) {
    const std::unique_ptr<CURLM, CurlMultiDeleter> multi(curl_multi_init());
    if (!multi) {
        return CURLE_OUT_OF_MEMORY;
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        EventLoopTransfer transfer(multi.get());
        if (curl_multi_add_handle(multi.get(), handle) != CURLM_OK) {
            return CURLE_OUT_OF_MEMORY;
        }
        if (transfer.run(cancellation)) {
            result = transfer.result();
        } else if (!cancellation.requested()) {
            cancellation.cancel(system::Cancellation::Reason::Abandoned);
        }
        // Closes the connection of an unfinished transfer; curl says so through onSocket, so
        // the transfer's notifiers are still there.
        curl_multi_remove_handle(multi.get(), handle);
    }
    return result;
}

} // namespace stowline::http
