#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace stowline::server {

// Any failure reported by SQLite, with its message.
class SqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement. Values are bound by position (from 1); text is copied.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view value);
    Statement& bindNull(int index);

    // Binds the arguments to positions 1, 2, ... in order.
    template <typename... Values> Statement& bindAll(const Values&... values) {
        int index = 0;
        (bind(++index, values), ...);
        return *this;
    }

    // Advances to the next row; false when there is none.
    bool step();
    // Runs a statement that returns no rows, then resets it so that it can be bound again.
    void run();

    int columnCount() const;
    bool isNull(int column) const;
    std::int64_t integer(int column) const;
    // Valid until the next step.
    std::string_view text(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// One connection to the database file, opened with the settings every connection of the
// server uses: WAL journal, full sync, foreign keys enforced, a busy time-out.
class Connection {
public:
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one or more statements without parameters (schema, pragmas, transaction control).
    void execute(const char* sql);
    Statement prepare(std::string_view sql) { return Statement(m_db, sql); }

    // The first column of the first row of a query, or `fallback` when there is no row or
    // the value is NULL.
    template <typename... Values>
    std::int64_t queryInteger(std::string_view sql, std::int64_t fallback,
                              const Values&... values) {
        Statement statement = prepare(sql);
        statement.bindAll(values...);
        if (!statement.step() || statement.isNull(0)) {
            return fallback;
        }
        return statement.integer(0);
    }

    std::int64_t lastInsertRowId() const;

private:
    sqlite3* m_db = nullptr;
};

// BEGIN IMMEDIATE: takes the write lock up front, so that the checks of an update and its
// changes see one consistent state. Rolls back unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(Connection& connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

} // namespace stowline::server
