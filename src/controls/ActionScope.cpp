#include "controls/ActionScope.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace stowline::controls {

class ActionTrack {
public:
    explicit ActionTrack(QWidget* widget) : component(widget) {}

    QWidget* component;
    bool deleted = false;
    // How many scopes of the component are on the stack, and about the outermost one.
    int depth = 0;
    bool startedByHost = false;
    std::unique_ptr<QObject> remains;
    // The open nested loops of its actions, innermost last.
    std::vector<std::shared_ptr<std::function<void()>>> exits;
};

namespace {

// Everything here lives on the user-interface thread, where the component lives.

// The components by their widget, for actions the operator starts on one of their widgets.
QHash<const QObject*, std::weak_ptr<ActionTrack>>& components() {
    static QHash<const QObject*, std::weak_ptr<ActionTrack>> all;
    return all;
}

// The actions under way, innermost last.
std::vector<std::shared_ptr<ActionTrack>>& actionStack() {
    static std::vector<std::shared_ptr<ActionTrack>> stack;
    return stack;
}

ActionTrack* innermost() {
    return actionStack().empty() ? nullptr : actionStack().back().get();
}

std::shared_ptr<ActionTrack> componentOf(const QObject* part) {
    for (const QObject* object = part; object != nullptr; object = object->parent()) {
        if (const auto found = components().constFind(object); found != components().cend()) {
            return found->lock();
        }
    }
    return nullptr;
}

void enter(const std::shared_ptr<ActionTrack>& track, bool startedByHost) {
    if (track->depth++ == 0) {
        track->startedByHost = startedByHost;
    }
    actionStack().push_back(track);
}

} // namespace

ComponentActions::ComponentActions(QWidget* component)
    : m_track(std::make_shared<ActionTrack>(component)) {
    components().insert(component, m_track);
}

ComponentActions::~ComponentActions() {
    components().remove(m_track->component);
}

bool ComponentActions::running() const {
    return m_track->depth > 0;
}

void ComponentActions::componentDeleted(std::unique_ptr<QObject> remains) {
    ActionTrack& track = *m_track;
    components().remove(track.component);
    track.component = nullptr;
    track.deleted = true;
    if (track.depth == 0) {
        return; // nothing under way: the parts go now
    }
    track.remains = std::move(remains);
    // Innermost first; each only asks its loop to end, which happens once control returns
    // there.
    const auto exits = track.exits;
    for (auto exit = exits.rbegin(); exit != exits.rend(); ++exit) {
        (**exit)();
    }
}

ActionScope::ActionScope(const ComponentActions& actions) : m_track(actions.track()) {
    enter(m_track, true);
}

ActionScope::ActionScope(const QObject* partOfComponent) : m_track(componentOf(partOfComponent)) {
    if (m_track) {
        enter(m_track, false);
    }
}

ActionScope::~ActionScope() {
    if (!m_track) {
        return;
    }
    ActionTrack& track = *m_track;
    actionStack().pop_back();
    if (--track.depth == 0 && track.remains) {
        if (track.startedByHost) {
            track.remains.reset();
        } else {
            track.remains.release()->deleteLater();
        }
    }
}

QWidget* actingComponent() {
    const ActionTrack* track = innermost();
    return track != nullptr ? track->component : nullptr;
}

bool actionAbandoned() {
    const ActionTrack* track = innermost();
    return track != nullptr && track->deleted;
}

LoopExit::LoopExit(std::function<void()> exitNow) {
    if (actionStack().empty() || actionStack().back()->deleted) {
        return;
    }
    m_track = actionStack().back();
    m_exit = std::make_shared<std::function<void()>>(std::move(exitNow));
    m_track->exits.push_back(m_exit);
}

LoopExit::~LoopExit() {
    if (m_track) {
        std::erase(m_track->exits, m_exit);
    }
}

} // namespace stowline::controls
