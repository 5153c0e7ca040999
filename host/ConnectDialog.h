#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace stowline::host {

// File > Connect…: asks for the server name and, in a field that shows no characters, for its
// password. It never shows a stored password: it offers the current server without one.
class ConnectDialog : public QDialog {
    Q_OBJECT

public:
    // `current`: the server the data was loaded from last, perhaps with a password.
    explicit ConnectDialog(const QString& current, QWidget* parent = nullptr);

    // The server to load from: the name with the password typed, or, when the name was left as
    // offered and no password typed, the current server with its own.
    QString serverName() const;

private:
    QString m_current;
    QString m_offered;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_password = nullptr;
};

} // namespace stowline::host
