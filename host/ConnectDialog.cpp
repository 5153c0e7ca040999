#include "ConnectDialog.h"

#include "ServerName.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace stowline::host {

ConnectDialog::ConnectDialog(const QString& current, QWidget* parent)
    : QDialog(parent), m_current(current) {
    setWindowTitle(QStringLiteral("Connect"));
    m_offered = withoutPassword(current);

    m_server = new QLineEdit(m_offered, this);
    m_server->setObjectName(QStringLiteral("serverName"));
    m_server->setMinimumWidth(320);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    if (hasPassword(current)) {
        m_password->setPlaceholderText(QStringLiteral("unchanged"));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Server name:"), m_server);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(buttons);
}

QString ConnectDialog::serverName() const {
    const QString name = m_server->text().trimmed();
    if (!m_password->text().isEmpty()) {
        return withPassword(name, m_password->text());
    }
    // Another server never gets the current server's password.
    return name == m_offered ? m_current : name;
}

} // namespace stowline::host
