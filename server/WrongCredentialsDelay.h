#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct MHD_Connection;

namespace stowline::server {

// Holds back the answers to wrong credentials: from one client address at most one a second
// goes out, so that guessing a password takes its time however many connections the guesser
// opens. A held connection is suspended and holds no thread; when its time comes it is
// resumed and its request handler answers it.
class WrongCredentialsDelay {
public:
    explicit WrongCredentialsDelay(
        std::chrono::milliseconds perAttempt = std::chrono::milliseconds(1000));
    ~WrongCredentialsDelay();
    WrongCredentialsDelay(const WrongCredentialsDelay&) = delete;
    WrongCredentialsDelay& operator=(const WrongCredentialsDelay&) = delete;

    // Suspends the connection, from inside its request handler, until the address's turn;
    // false, leaving it as it is, once the delay has stopped.
    bool hold(MHD_Connection* connection, const std::string& clientAddress);
    // Resumes every held connection at once and holds none from here on, so that the server
    // can stop.
    void stop();

private:
    using Clock = std::chrono::steady_clock;
    void resumeWhenDue();

    std::chrono::milliseconds m_perAttempt;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::multimap<Clock::time_point, MHD_Connection*> m_held;
    // When each address may have its next answer; past entries are dropped.
    std::map<std::string, Clock::time_point> m_nextTurn;
    bool m_stopped = false;
    std::thread m_resumer;
};

} // namespace stowline::server
