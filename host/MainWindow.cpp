#include "MainWindow.h"

#include "ConnectDialog.h"
#include "ServerName.h"

#include <stowline/Stowline.h>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace stowline::host {

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
    ConnectDialog dialog(
        m_serverName.isEmpty() ? QStringLiteral("http://127.0.0.1:8080") : m_serverName, this);
    if (dialog.exec() == QDialog::Accepted && !dialog.serverName().isEmpty()) {
        loadFrom(dialog.serverName());
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
                                          : withoutPassword(m_serverName, QStringLiteral("***")));
}

} // namespace stowline::host
