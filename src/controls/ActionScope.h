#pragma once

#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>

namespace stowline::controls {

// The component runs one action at a time: a host's call of LoadData or ReturnWebserviceXML, or
// the handling of an operator's click or key. An action may wait in a nested event loop (an
// exchange with the service, a message box, a file dialog), where timers of the host run, and
// with them calls of the component and its deletion. This tracks what is running, so that a
// call arriving then is refused and a deletion ends the action without touching what was
// deleted.
class ActionTrack;

// One component's actions. The component holds it from its creation to its deletion.
class ComponentActions {
public:
    explicit ComponentActions(QWidget* component);
    ~ComponentActions();
    ComponentActions(const ComponentActions&) = delete;
    ComponentActions& operator=(const ComponentActions&) = delete;

    // Whether an action of the component is under way: a call now would run inside it.
    bool running() const;

    // The component is being deleted while an action is under way. The action's open nested
    // loops end at once, and whatever it would still show or send is skipped. Its parts, which
    // the action's frames still use, are destroyed only once the action has ended: at once when
    // the host started it, else once control is back in the event loop, since Qt's own frames
    // (a button's click, a list's selection) still hold their widgets until then.
    void componentDeleted(std::unique_ptr<QObject> remains);

    const std::shared_ptr<ActionTrack>& track() const { return m_track; }

private:
    std::shared_ptr<ActionTrack> m_track;
};

// Marks an action for as long as it lives; actions of one component may nest (a page's click
// handling runs its list's), and another component's may run inside.
class ActionScope {
public:
    // An action the host started by calling the component.
    explicit ActionScope(const ComponentActions& actions);
    // An action the operator started on one of the component's widgets; the component is found
    // among the widget's parents. Outside a component (or in one being deleted) it marks nothing.
    explicit ActionScope(const QObject* partOfComponent);
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    std::shared_ptr<ActionTrack> m_track;
};

// For the nested loops of the innermost action under way:

// The widget of the component it belongs to; null outside an action or once it was deleted.
QWidget* actingComponent();
// Whether its component was deleted: what it would still show or send is then skipped.
bool actionAbandoned();

// Registers, for as long as it lives, how to end a nested loop at once when the component of
// the action that opened it is deleted.
class LoopExit {
public:
    explicit LoopExit(std::function<void()> exitNow);
    ~LoopExit();
    LoopExit(const LoopExit&) = delete;
    LoopExit& operator=(const LoopExit&) = delete;

private:
    std::shared_ptr<ActionTrack> m_track;
    std::shared_ptr<std::function<void()>> m_exit;
};

} // namespace stowline::controls
