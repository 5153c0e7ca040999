// The demo host against the stand-in server: its window in-process, and the built program as a
// user runs it, taking screenshots without a screen (no QT_QPA_PLATFORM: the host chooses the
// offscreen platform by itself).
#include "ConnectDialog.h"
#include "MainWindow.h"
#include "MessageBoxAutoAnswer.h"

#include <stowline/Stowline.h>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

namespace stowline::host {
namespace {

using Rows = std::array<int, 3>; // routes, storage locations, active centers

Rows stored(const test::StandInServer& server) {
    const auto count = [&server](const char* from) {
        return server.queryValue(QStringLiteral("SELECT count(*) FROM ") + from).toInt();
    };
    return {count("routes"), count("storage_locations"), count("centers WHERE status = '2'")};
}

const char* const Pages[][2] = {{"page1-routes.png", "lstRoute"},
                                {"page2-storage-locations.png", "lstLocation"},
                                {"page3-assignments.png", "lstStowline"}};

Rows shown(const MainWindow& window) {
    Rows rows{};
    for (int i = 0; i < 3; ++i) {
        const auto* list = window.findChild<QAbstractItemView*>(Pages[i][1]);
        rows[i] = list == nullptr ? -1 : list->model()->rowCount();
    }
    return rows;
}

void trigger(const MainWindow& window, const char* name) {
    auto* action = window.findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

// Triggers the action and answers the Connect dialog it opens with the server name and
// password, or cancels it when server is null. Returns what the dialog offered: the name, the
// password and whether the password field hides what is typed, joined by '|'.
QString triggerAndAnswer(const MainWindow& window, const char* name, const QString& server,
                         const QString& password = {}) {
    QString offered;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<ConnectDialog*>(QApplication::activeModalWidget())) {
            auto* serverField = dialog->findChild<QLineEdit*>("serverName");
            auto* passwordField = dialog->findChild<QLineEdit*>("password");
            offered = serverField->text() + '|' + passwordField->text() +
                      (passwordField->echoMode() == QLineEdit::Password ? "|hidden" : "|shown");
            serverField->setText(server);
            passwordField->setText(password);
            server.isNull() ? dialog->reject() : dialog->accept();
        }
    });
    trigger(window, name);
    return offered;
}

TEST(HostMainWindow, ConnectsReloadsFromTheServerAndQuits) {
    test::StandInServer server;
    const MessageBoxAutoAnswer boxes({});
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Not connected");
    EXPECT_EQ(window.component().size(), window.component().sizeHint());

    // Reload without a server asks for one; cancelled, nothing is attempted.
    EXPECT_EQ(triggerAndAnswer(window, "actionReload", QString()), "http://127.0.0.1:8080||hidden");
    EXPECT_TRUE(window.serverName().isEmpty());
    EXPECT_EQ(shown(window), (Rows{0, 0, 0}));

    // The password goes into the name percent-encoded. The title is on screen and in
    // screenshots, the dialog in front of anyone: neither shows a password.
    const QString user = server.serverName().replace("://", "://stow@");
    const QString name = server.serverName().replace("://", "://stow:pw%2F12@");
    triggerAndAnswer(window, "actionConnect", "  " + user + " ", "pw/12");
    EXPECT_EQ(window.serverName(), name);
    EXPECT_EQ(window.windowTitle(), QString(name).replace("pw%2F12", "***"));
    // Offered again without it, the same server keeps its password.
    EXPECT_EQ(triggerAndAnswer(window, "actionConnect", user), user + "||hidden");
    EXPECT_EQ(window.serverName(), name);
    const Rows loaded = stored(server);
    EXPECT_TRUE(loaded[0] > 0 && loaded[2] > 0);
    EXPECT_EQ(shown(window), loaded);

    // Reload asks the server again: a route added behind the component's back appears, and
    // nothing is listed twice.
    server.execute("INSERT INTO routes (facility_id, code, description, last_updated) SELECT "
                   "facility_id, 'ZZ', 'Added behind the back', '2024-01-01' FROM facilities "
                   "LIMIT 1");
    trigger(window, "actionReload");
    EXPECT_EQ(shown(window), (Rows{loaded[0] + 1, loaded[1], loaded[2]}));
    EXPECT_EQ(boxes.answered(), 0);

    trigger(window, "actionQuit");
    EXPECT_FALSE(window.isVisible());
}

struct HostRun {
    int exitCode = -1;
    QString out;
    QString err;
};

HostRun runHost(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    QProcess host;
    host.setProcessEnvironment(environment);
    host.start(STOWLINE_HOST_EXECUTABLE, arguments);
    EXPECT_TRUE(host.waitForFinished(120'000)) << "stowline-host did not end";
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    return {host.exitCode(), QString::fromUtf8(host.readAllStandardOutput()),
            QString::fromUtf8(host.readAllStandardError())};
}

// What the host prints for the pages saved into `dir` with these row counts.
QString printed(const QString& dir, const Rows& rows) {
    QString out;
    for (int i = 0; i < 3; ++i) {
        out += QStringLiteral("Saved %1/%2\n%3: %4 rows\n")
                   .arg(dir, Pages[i][0], Pages[i][1])
                   .arg(rows[i]);
    }
    return out;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(cannot be read)";
}

TEST(HostProgram, ScreenshotsOfTheDemoData) {
    test::StandInServer server;
    const QTemporaryDir dir;
    const QString shots = dir.filePath("shots");
    const QString log = dir.filePath("events.log");
    const HostRun run =
        runHost({"--server", server.serverName(), "--screenshot", shots, "--event-log", log});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("message box")) << run.err.toStdString();
    EXPECT_EQ(run.out, printed(shots, stored(server)));
    // Each picture shows its own page.
    QList<QImage> images;
    for (const auto& page : Pages) {
        images << QImage(QDir(shots).filePath(page[0]), "PNG");
        EXPECT_FALSE(images.last().isNull()) << page[0];
    }
    EXPECT_TRUE(images[0] != images[1] && images[1] != images[2] && images[0] != images[2]);
    // A clean load writes nothing to the event log.
    EXPECT_EQ(contents(log), QByteArray());
}

TEST(HostProgram, AnUnreachableServerIsAnsweredAndLogged) {
    test::StandInServer server(test::StandInServer::Data::Empty);
    const QString name = server.serverName();
    server.stop();
    const QTemporaryDir dir;
    const QString log = dir.filePath("events.log");
    const HostRun run = runHost({"--server", name, "--screenshot", dir.path(), "--event-log", log});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, printed(dir.path(), {0, 0, 0}));
    // Each of the four queries fails: one error box each, answered and told on stderr, and one
    // entry of six lines each, the lines of an entry kept with their own line ends. The empty
    // answer's own box comes on top.
    EXPECT_EQ(run.err.count("answered OK: An application error"), 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("5 message box(es) were answered")) << run.err.toStdString();
    const QByteArray entries = contents(log);
    EXPECT_EQ(entries.count("Error Source -  ReturnWebserviceXML\r\n"), 4) << entries.data();
    EXPECT_EQ(entries.count('\n'), 4 * 6) << entries.data();
    EXPECT_TRUE(entries.endsWith("Project Associated - prjStowline\n")) << entries.data();
}

} // namespace
} // namespace stowline::host
