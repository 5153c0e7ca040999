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

// Runs the statements on the database file, handing each row of their results to onRow.
void run(const QString& path, const QString& sql, int (*onRow)(void*, int, char**, char**),
         void* context) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    sqlite3_busy_timeout(raw, 10'000);
    char* message = nullptr;
    if (opened != SQLITE_OK ||
        sqlite3_exec(raw, sql.toUtf8().constData(), onRow, context, &message) != SQLITE_OK) {
        const QString reason =
            QString::fromUtf8(message != nullptr ? message : sqlite3_errmsg(raw));
        sqlite3_free(message);
        fail(QStringLiteral("\"%1\" failed on %2: %3").arg(sql, path, reason));
    }
}

} // namespace

StandInServer::StandInServer(Data data) : StandInServer(data, Extras{}) {}

StandInServer::StandInServer(Data data, const Extras& extras) : m_extraArguments(extras.arguments) {
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
    start(data == Data::Demo ? QStringList{QStringLiteral("--demo-data")} : QStringList(), 0);
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
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        fail(QStringLiteral("the server did not end cleanly on SIGTERM (exit code %1)")
                 .arg(m_process.exitCode()));
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
    QStringList column;
    run(
        databasePath(), sql,
        [](void* context, int, char** values, char**) {
            // NULL has no text, and no text makes a null QString.
            *static_cast<QStringList*>(context) << QString::fromUtf8(values[0]);
            return 0;
        },
        &column);
    return column;
}

void StandInServer::execute(const QString& sql) const {
    run(databasePath(), sql, nullptr, nullptr);
}

} // namespace stowline::test
