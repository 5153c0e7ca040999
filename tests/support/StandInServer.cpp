#include "support/StandInServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QUrl>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace stowline::test {
namespace {

#ifdef STOWLINE_SERVER_EXECUTABLE
const QString Executable = QStringLiteral(STOWLINE_SERVER_EXECUTABLE);
#else
const QString Executable;
#endif
// For starting and for stopping. Generous: the generator fills 30,000 centers in well under a
// second, but CI machines are shared.
constexpr int PatienceMilliseconds = 30'000;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(("StandInServer: " + message).toStdString());
}

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Database openDatabase(const QString& path) {
    sqlite3* raw = nullptr;
    const int result =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Database db(raw, &sqlite3_close);
    if (result != SQLITE_OK) {
        fail(
            QStringLiteral("cannot open %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(raw))));
    }
    sqlite3_busy_timeout(raw, 10'000);
    return db;
}

} // namespace

StandInServer::StandInServer(Data data, int generatedCenters)
    : StandInServer(data, generatedCenters, Extras{}) {}

StandInServer::StandInServer(Data data, int generatedCenters, const Extras& extras)
    : m_extraArguments(extras.arguments) {
    if (Executable.isEmpty()) {
        fail(QStringLiteral("this build has no stowline-server"));
    }
    if (!m_directory.isValid()) {
        fail(QStringLiteral("cannot create a temporary folder"));
    }
    // The server's stdout carries only its server name; its stderr is the test's unless kept.
    if (extras.keepErrorOutput) {
        m_process.setStandardErrorFile(m_directory.filePath(QStringLiteral("stderr.txt")),
                                       QIODevice::Append);
    } else {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    QStringList fill;
    if (data == Data::Demo) {
        fill << QStringLiteral("--demo-data");
    } else if (data == Data::Generated) {
        fill << QStringLiteral("--generate") << QString::number(generatedCenters);
    }
    start(fill, 0);
}

StandInServer::~StandInServer() {
    try {
        stop();
    } catch (const std::exception&) {
        // A destructor must not throw; QProcess kills what is left.
    }
}

void StandInServer::start(const QStringList& fillArguments, int port) {
    m_process.start(Executable,
                    QStringList{QStringLiteral("--db"), databasePath(), QStringLiteral("--listen"),
                                QStringLiteral("127.0.0.1:%1").arg(port)}
                        << fillArguments << m_extraArguments);
    if (!m_process.waitForStarted(PatienceMilliseconds)) {
        fail(QStringLiteral("cannot run %1: %2").arg(Executable, m_process.errorString()));
    }
    const QDeadlineTimer deadline(PatienceMilliseconds);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning) {
            fail(QStringLiteral("the server ended before it was ready (exit code %1) %2")
                     .arg(m_process.exitCode())
                     .arg(errorOutput().trimmed()));
        }
        if (deadline.hasExpired()) {
            fail(QStringLiteral("the server did not print its name in time"));
        }
        m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    m_serverName = QString::fromUtf8(m_process.readLine()).trimmed();
    m_port = QUrl(m_serverName).port();
    if (m_port <= 0) {
        fail(QStringLiteral("the server printed \"%1\" instead of its name").arg(m_serverName));
    }
}

void StandInServer::stop() {
    if (!isRunning()) {
        return;
    }
    m_process.terminate();
    // waitForFinished also answers false when the process had already ended.
    if (!m_process.waitForFinished(PatienceMilliseconds) && isRunning()) {
        m_process.kill();
        m_process.waitForFinished(PatienceMilliseconds);
        fail(QStringLiteral("the server did not stop on SIGTERM"));
    }
}

void StandInServer::kill() {
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(PatienceMilliseconds);
    }
}

void StandInServer::restart() {
    stop();
    try {
        start({}, m_port);
    } catch (const std::runtime_error&) {
        // The previous port may have been taken in the meantime.
        start({}, 0);
    }
}

QString StandInServer::errorOutput() const {
    QFile file(m_directory.filePath(QStringLiteral("stderr.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList StandInServer::queryColumn(const QString& sql) const {
    const auto db = openDatabase(databasePath());
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), text.constData(), static_cast<int>(text.size()), &raw,
                           nullptr) != SQLITE_OK) {
        fail(QStringLiteral("cannot run \"%1\": %2")
                 .arg(sql, QString::fromUtf8(sqlite3_errmsg(db.get()))));
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw,
                                                                               &sqlite3_finalize);
    QStringList column;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW) {
        // NULL has no text, and no text makes a null QString.
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        column << QString::fromUtf8(value, sqlite3_column_bytes(raw, 0));
    }
    if (result != SQLITE_DONE) {
        fail(QStringLiteral("\"%1\" failed: %2")
                 .arg(sql, QString::fromUtf8(sqlite3_errmsg(db.get()))));
    }
    return column;
}

void StandInServer::execute(const QString& sql) const {
    const auto db = openDatabase(databasePath());
    char* message = nullptr;
    if (sqlite3_exec(db.get(), sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(message);
        sqlite3_free(message);
        fail(QStringLiteral("\"%1\" failed: %2").arg(sql, reason));
    }
}

} // namespace stowline::test
