#pragma once

#include <QMainWindow>
#include <QString>

namespace stowline {
class Stowline;
}

namespace stowline::host {

// The demo host's window: the component at its design size under a File menu.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    Stowline& component() const { return *m_component; }
    // The server the data was last loaded from (empty before the first load).
    QString serverName() const { return m_serverName; }

public slots:
    // Remembers the server and loads all pages from it (blocks until the answers are in).
    void loadFrom(const QString& serverName);
    // File > Connect…: asks for a server name and its password, then loads from it.
    void connectToServer();
    // File > Reload (F5): loads again from the current server, or asks for one.
    void reload();

private:
    void updateTitle();

    Stowline* m_component = nullptr;
    QString m_serverName;
};

} // namespace stowline::host
