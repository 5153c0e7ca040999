#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

namespace stowline::server {

// Holds back the answers to wrong credentials: from one client address at most one a second
// goes out, so that guessing a password takes its time however many connections the guesser
// opens. The connection's own thread waits for its turn; other connections go on.
class WrongCredentialsDelay {
public:
    explicit WrongCredentialsDelay(
        std::chrono::milliseconds perAttempt = std::chrono::milliseconds(1000));
    WrongCredentialsDelay(const WrongCredentialsDelay&) = delete;
    WrongCredentialsDelay& operator=(const WrongCredentialsDelay&) = delete;

    // Returns when the address's turn has come, or at once once the delay has stopped.
    void wait(const std::string& clientAddress);
    // Ends every wait at once and holds nothing from here on, so that the server can stop.
    void stop();

private:
    using Clock = std::chrono::steady_clock;

    std::chrono::milliseconds m_perAttempt;
    std::mutex m_mutex;
    std::condition_variable m_stopping;
    // When each address may have its next answer; past entries are dropped.
    std::map<std::string, Clock::time_point> m_nextTurn;
    bool m_stopped = false;
};

} // namespace stowline::server
