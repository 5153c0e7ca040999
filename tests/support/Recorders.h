#pragma once

#include "controls/MessageBox.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace stowline::test {

// Answers every message box while it lives, records what was shown, and restores the real
// boxes afterwards. Yes/No boxes take the queued answers in order (Yes when none is queued).
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void queueAnswer(int answer) { m_answers.push_back(answer); }
    // Describes what the page shows while each box is up; kept box by box in snapshots().
    void snapshotWith(std::function<QString()> snapshot) { m_snapshot = std::move(snapshot); }
    const std::vector<controls::MessageBoxRequest>& shown() const { return m_shown; }
    const QStringList& snapshots() const { return m_snapshots; }
    QStringList prompts() const;
    // How many boxes were the application-error box every caught failure shows.
    int errorBoxes() const;
    void clear() {
        m_shown.clear();
        m_snapshots.clear();
    }

private:
    std::vector<controls::MessageBoxRequest> m_shown;
    QStringList m_snapshots;
    std::function<QString()> m_snapshot;
    std::deque<int> m_answers;
};

// Collects the event-log entries written while it lives.
class EventLogRecorder {
public:
    EventLogRecorder();
    ~EventLogRecorder();
    EventLogRecorder(const EventLogRecorder&) = delete;
    EventLogRecorder& operator=(const EventLogRecorder&) = delete;

    const QStringList& entries() const { return m_entries; }
    // The procedure names the entries were reported under, in order.
    QStringList procedures() const;
    void clear() { m_entries.clear(); }

private:
    QStringList m_entries;
};

} // namespace stowline::test
