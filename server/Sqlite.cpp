#include "Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace stowline::server {
namespace {

// Long enough to ride out a burst of concurrent updates, short enough that a stuck writer
// shows up as a fault rather than a hang.
constexpr int BusyTimeoutMilliseconds = 10'000;

[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw SqliteError(std::string(what) + ": " +
                      (db != nullptr ? sqlite3_errmsg(db) : "no database"));
}

} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : m_db(db) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr) !=
        SQLITE_OK) {
        fail(db, "preparing \"" + std::string(sql) + "\"");
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db), m_statement(std::exchange(other.m_statement, nullptr)) {}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK) {
        fail(m_db, "binding a number");
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    if (sqlite3_bind_text64(m_statement, index, value.data(), value.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        fail(m_db, "binding a text");
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(m_statement, index) != SQLITE_OK) {
        fail(m_db, "binding NULL");
    }
    return *this;
}

bool Statement::step() {
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        return false;
    }
    fail(m_db, "running a statement");
}

void Statement::run() {
    while (step()) {
    }
    // Ready to be bound and run again.
    sqlite3_reset(m_statement);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_statement);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string_view Statement::text(int column) const {
    const auto* bytes = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return bytes == nullptr ? std::string_view()
                            : std::string_view(reinterpret_cast<const char*>(bytes),
                                               static_cast<std::size_t>(size));
}

Connection::Connection(const std::string& path) {
    // Each connection is used by one thread at a time (the pool hands it out), so SQLite's
    // own per-connection mutex is not needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        const std::string message = "opening " + path + ": " + sqlite3_errmsg(m_db);
        sqlite3_close(m_db);
        throw SqliteError(message);
    }
    try {
        sqlite3_busy_timeout(m_db, BusyTimeoutMilliseconds);
        // journal_mode answers with a row; sqlite3_exec ignores it. FULL sync makes an
        // acknowledged update survive a crash of the machine, not only of the process.
        execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

Connection::~Connection() {
    sqlite3_close(m_db);
}

void Connection::execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : sqlite3_errmsg(m_db);
        sqlite3_free(message);
        throw SqliteError(text);
    }
}

std::int64_t Connection::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(m_db);
}

WriteTransaction::WriteTransaction(Connection& connection) : m_connection(connection) {
    m_connection.execute("BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
    if (m_open) {
        try {
            m_connection.execute("ROLLBACK");
        } catch (const SqliteError&) {
            // SQLite may already have rolled back on its own (after an I/O error, say).
        }
    }
}

void WriteTransaction::commit() {
    m_connection.execute("COMMIT");
    m_open = false;
}

} // namespace stowline::server
