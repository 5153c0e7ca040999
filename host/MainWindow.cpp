#include "MainWindow.h"

#include <stowline/Stowline.h>

#include <QAction>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

namespace stowline::host {
namespace {

// The server name with its password, if it has one, shown as ***.
QString withoutPassword(const QString& serverName) {
    QUrl url(serverName);
    if (url.password().isEmpty()) {
        return serverName;
    }
    url.setPassword(QStringLiteral("***"));
    return url.toString();
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("StowlineHostWindow"));
    m_component = new Stowline(this);
    setCentralWidget(m_component);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* connectAction = file->addAction(QStringLiteral("&Connect…"));
    connectAction->setObjectName(QStringLiteral("actionConnect"));
    connectAction->setShortcut(QKeySequence::Open);
    connect(connectAction, &QAction::triggered, this, &MainWindow::connectToServer);

    QAction* reloadAction = file->addAction(QStringLiteral("&Reload"));
    reloadAction->setObjectName(QStringLiteral("actionReload"));
    reloadAction->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reloadAction, &QAction::triggered, this, &MainWindow::reload);

    file->addSeparator();
    QAction* quitAction = file->addAction(QStringLiteral("&Quit"));
    quitAction->setObjectName(QStringLiteral("actionQuit"));
    quitAction->setShortcut(QKeySequence::Quit);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);

    updateTitle();
    // The component has a fixed design size; the window is just large enough to hold it.
    resize(sizeHint());
}

void MainWindow::loadFrom(const QString& serverName) {
    m_serverName = serverName;
    updateTitle();
    m_component->LoadData(m_serverName);
}

void MainWindow::connectToServer() {
    bool accepted = false;
    const QString name =
        QInputDialog::getText(
            this, QStringLiteral("Connect"), QStringLiteral("Server name:"), QLineEdit::Normal,
            m_serverName.isEmpty() ? QStringLiteral("http://127.0.0.1:8080") : m_serverName,
            &accepted)
            .trimmed();
    if (accepted && !name.isEmpty()) {
        loadFrom(name);
    }
}

void MainWindow::reload() {
    if (m_serverName.isEmpty()) {
        connectToServer();
    } else {
        loadFrom(m_serverName);
    }
}

void MainWindow::updateTitle() {
    // The platform adds the application display name ("Stowline") to the title. A server name
    // may carry credentials; the title is on screen and in screenshots.
    setWindowTitle(m_serverName.isEmpty() ? QStringLiteral("Not connected")
                                          : withoutPassword(m_serverName));
}

} // namespace stowline::host
