#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace stowline::controls {

// While it lives, the operator's input to every window of the application is dropped, never
// kept for later: clicks, keys, the wheel, touch, shortcuts, context menus, and the window
// system's request to close a window. Input to the widget it spares, and to its children, goes
// through. Painting, timers and everything else go on as usual.
class InputDrop : public QObject {
public:
    InputDrop();
    ~InputDrop() override;
    InputDrop(const InputDrop&) = delete;
    InputDrop& operator=(const InputDrop&) = delete;

    void spare(const QWidget* widget) { m_spared = widget; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool spared(const QObject* watched) const;

    QPointer<const QWidget> m_spared;
};

} // namespace stowline::controls
