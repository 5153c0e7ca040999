#include "support/StandInServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QUrl>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace stowline::test {
namespace {

// Generous: the generator fills 30,000 centers in well under a second, but CI machines are
// shared.
constexpr int StartTimeoutMilliseconds = 30'000;
constexpr int StopTimeoutMilliseconds = 30'000;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(("StandInServer: " + message).toStdString());
}

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinaliser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

std::unique_ptr<sqlite3, SqliteCloser> openDatabase(const QString& path) {
    sqlite3* raw = nullptr;
    const int result =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> db(raw);
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
#ifndef STOWLINE_SERVER_EXECUTABLE
    (void)data;
    (void)generatedCenters;
    fail(QStringLiteral("this build has no stowline-server"));
#else
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
#endif
}

StandInServer::~StandInServer() {
    try {
        stop();
    } catch (const std::exception&) {
        // A destructor must not throw; QProcess kills what is left.
    }
}

QString StandInServer::databasePath() const {
    return m_directory.filePath(QStringLiteral("stowline.db"));
}

bool StandInServer::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

void StandInServer::start(const QStringList& fillArguments, int port) {
#ifdef STOWLINE_SERVER_EXECUTABLE
    QStringList arguments{QStringLiteral("--db"), databasePath(), QStringLiteral("--listen"),
                          QStringLiteral("127.0.0.1:%1").arg(port)};
    arguments << fillArguments << m_extraArguments;
    m_process.start(QStringLiteral(STOWLINE_SERVER_EXECUTABLE), arguments);
    if (!m_process.waitForStarted(StartTimeoutMilliseconds)) {
        fail(QStringLiteral("cannot run %1: %2")
                 .arg(QStringLiteral(STOWLINE_SERVER_EXECUTABLE), m_process.errorString()));
    }
    const QDeadlineTimer deadline(StartTimeoutMilliseconds);
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
#else
    (void)fillArguments;
    (void)port;
#endif
}

void StandInServer::stop() {
    if (!isRunning()) {
        return;
    }
    m_process.terminate();
    // waitForFinished also answers false when the process had already ended.
    if (!m_process.waitForFinished(StopTimeoutMilliseconds) && isRunning()) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMilliseconds);
        fail(QStringLiteral("the server did not stop on SIGTERM"));
    }
}

void StandInServer::kill() {
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMilliseconds);
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
    const std::unique_ptr<sqlite3_stmt, StatementFinaliser> statement(raw);
    QStringList column;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW) {
        if (sqlite3_column_type(raw, 0) == SQLITE_NULL) {
            column << QString();
        } else {
            column << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)),
                                        sqlite3_column_bytes(raw, 0));
        }
    }
    if (result != SQLITE_DONE) {
        fail(QStringLiteral("\"%1\" failed: %2")
                 .arg(sql, QString::fromUtf8(sqlite3_errmsg(db.get()))));
    }
    return column;
}

QString StandInServer::queryValue(const QString& sql) const {
    return queryColumn(sql).value(0);
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
