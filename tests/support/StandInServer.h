#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace stowline::test {

// Runs the built stowline-server on 127.0.0.1 (a free port) with a database of its own in a
// temporary folder, for tests that need the real service:
//
//     StandInServer server;                         // demo data
//     stowline.LoadData(server.serverName());
//     EXPECT_EQ(server.queryValue("SELECT count(*) FROM routes"), "12");
//
// The server's error output goes to the test's. Every method throws std::runtime_error when
// the server cannot be started or the database cannot be read; GoogleTest reports that as a
// failure of the test.
class StandInServer {
public:
    enum class Data {
        Empty, // tables only
        Demo,  // the demo operation (3 facilities, 12 routes, 15 bays, 40 centers)
    };

    // More than the data: further options of the server's command line (e.g. --auth, --tls),
    // kept for restart(), and whether its error output goes to a file errorOutput() reads
    // instead of to the test's.
    struct Extras {
        QStringList arguments;
        bool keepErrorOutput = false;
    };

    explicit StandInServer(Data data = Data::Demo);
    StandInServer(Data data, const Extras& extras);
    // Stops the server and removes its database.
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    // The name to pass to LoadData or ServiceClient::setServerName, e.g. "http://127.0.0.1:4711"
    // (or "https://..." when started with --tls).
    QString serverName() const { return m_serverName; }
    // The server's error output so far; empty unless Extras::keepErrorOutput was set.
    QString errorOutput() const;
    QString databasePath() const { return m_directory.filePath(QStringLiteral("stowline.db")); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }

    // SIGTERM, and waits for the server to end; throws when it does not end, or not with exit
    // code 0.
    void stop();
    // SIGKILL, and waits for the process to be gone: nothing is flushed or closed.
    void kill();
    // Starts the server again on the same database, stopping it first when it runs. It tries
    // the previous port first, so serverName() normally stays the same.
    void restart();

    // Read the database file directly (with its own SQLite connection, so this works while
    // the server is stopped too). queryColumn gives the first column of every row (NULL as a
    // null QString), queryValue the first column of the first row.
    QStringList queryColumn(const QString& sql) const;
    QString queryValue(const QString& sql) const { return queryColumn(sql).value(0); }
    // Runs statements that change the database, e.g. to set up rows a test needs.
    void execute(const QString& sql) const;

private:
    void start(const QStringList& fillArguments, int port);

    QTemporaryDir m_directory;
    QStringList m_extraArguments;
    QProcess m_process;
    QString m_serverName;
    int m_port = 0;
};

} // namespace stowline::test
