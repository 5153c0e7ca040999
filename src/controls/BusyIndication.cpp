#include "controls/BusyIndication.h"

#include "controls/UiText.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace stowline::controls {
namespace {

// The panel's width, wide enough for the longest operation's name in the design font and
// narrow enough to leave the component's pages visible around it.
constexpr int PanelWidth = 380;

} // namespace

BusyIndication::BusyIndication(QWidget* component, const QString& waitingFor,
                               std::function<void()> cancel)
    : QWidget(component), m_cancel(std::move(cancel)) {
    setObjectName(QStringLiteral("BusyIndication"));
    setGeometry(component->rect());
    setAccessibleName(UiText::tr("Waiting for the service"));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Window);
    auto* waiting = new QLabel(UiText::tr("Waiting for the service: %1").arg(waitingFor), panel);
    waiting->setWordWrap(true);
    m_waited = new QLabel(panel);
    m_cancelButton = new QPushButton(UiText::tr("Cancel"), panel);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancelExchange"));
    m_cancelButton->setAccessibleDescription(UiText::tr("Stops waiting for the service"));
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { this->cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(waiting);
    layout->addWidget(m_waited);
    layout->addLayout(buttons);

    panel->setFixedWidth(std::min(PanelWidth, width()));
    panel->adjustSize();
    panel->move((width() - panel->width()) / 2, (height() - panel->height()) / 2);
    setAccessibleDescription(waiting->text());
    hide(); // until a second has passed, also when the component is shown meanwhile
    showWaited(0);
}

BusyIndication::~BusyIndication() {
    if (m_previousFocus != nullptr && isAncestorOf(QApplication::focusWidget())) {
        m_previousFocus->setFocus();
    }
}

void BusyIndication::showWaited(int seconds) {
    m_waited->setText(UiText::tr("Time waited: %1 s").arg(seconds));
    if (seconds > 0 && isHidden()) {
        raise();
        show();
        m_previousFocus = QApplication::focusWidget();
        m_cancelButton->setFocus();
    }
}

void BusyIndication::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BusyIndication::paintEvent(QPaintEvent*) {
    // A veil over the pages: they show through, but plainly not to be used now.
    QPainter painter(this);
    QColor veil = palette().color(QPalette::Window);
    veil.setAlpha(170);
    painter.fillRect(rect(), veil);
}

void BusyIndication::cancel() {
    if (m_cancel) {
        std::exchange(m_cancel, {})();
    }
}

} // namespace stowline::controls
