#include "MainWindow.h"
#include "MessageBoxAutoAnswer.h"

#include <stowline/Stowline.h>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

namespace stowline::host {
namespace {

struct Counts {
    int routes = -1;
    int locations = -1;
    int centers = -1;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << '{' << c.routes << ", " << c.locations << ", " << c.centers << '}';
}

Counts shown(const MainWindow& window) {
    const auto rows = [&window](const char* name) {
        const auto* list = window.findChild<QAbstractItemView*>(QString::fromLatin1(name));
        return list == nullptr ? -1 : list->model()->rowCount();
    };
    return {rows("lstRoute"), rows("lstLocation"), rows("lstStowline")};
}

Counts stored(const test::StandInServer& server) {
    return {server.queryValue(QStringLiteral("SELECT count(*) FROM routes")).toInt(),
            server.queryValue(QStringLiteral("SELECT count(*) FROM storage_locations")).toInt(),
            // Only active centers are listed.
            server.queryValue(QStringLiteral("SELECT count(*) FROM centers WHERE status = '2'"))
                .toInt()};
}

QAction* action(const MainWindow& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

// Answers the next input dialog once it is up: with `text`, or cancels it when text is null.
void answerNextInputDialog(const QString& text, QString* shownLabel) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, text, shownLabel] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        *shownLabel = dialog->labelText();
        if (text.isNull()) {
            dialog->reject();
        } else {
            dialog->setTextValue(text);
            dialog->accept();
        }
        poll->deleteLater();
    });
    poll->start(10);
}

TEST(HostMainWindow, OffersConnectReloadAndQuit) {
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Not connected"));
    EXPECT_TRUE(window.serverName().isEmpty());
    for (const char* name : {"actionConnect", "actionReload", "actionQuit"}) {
        EXPECT_NE(action(window, name), nullptr) << name;
    }
    ASSERT_NE(action(window, "actionReload"), nullptr);
    EXPECT_EQ(action(window, "actionReload")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(window.centralWidget(), &window.component());
    EXPECT_EQ(window.component().size(), window.component().sizeHint());

    window.show();
    ASSERT_TRUE(window.isVisible());
    action(window, "actionQuit")->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST(HostMainWindow, LoadsFromTheServerAndReloadAsksAgainWithoutDuplicates) {
    test::StandInServer server;
    const MessageBoxAutoAnswer boxes({});
    MainWindow window;
    window.show();

    window.loadFrom(server.serverName());
    EXPECT_EQ(window.serverName(), server.serverName());
    EXPECT_EQ(window.windowTitle(), server.serverName());
    const Counts expected = stored(server);
    EXPECT_GT(expected.routes, 0);
    EXPECT_GT(expected.centers, 0);
    EXPECT_EQ(shown(window), expected);

    action(window, "actionReload")->trigger();
    EXPECT_EQ(shown(window), expected);

    // Reload asks the server again: a route added behind the component's back appears.
    server.execute(
        QStringLiteral("INSERT INTO routes (facility_id, code, description, last_updated)"
                       " SELECT facility_id, 'ZZ', 'Added behind the back', '2024-01-01' FROM "
                       "facilities LIMIT 1"));
    action(window, "actionReload")->trigger();
    EXPECT_EQ(shown(window).routes, expected.routes + 1);
    EXPECT_EQ(shown(window), stored(server));
    EXPECT_EQ(boxes.answered(), 0);
}

TEST(HostMainWindow, ConnectAsksForTheServerThenLoads) {
    test::StandInServer server;
    const MessageBoxAutoAnswer boxes({});
    MainWindow window;
    window.show();

    QString label;
    answerNextInputDialog(QStringLiteral("  %1 ").arg(server.serverName()), &label);
    action(window, "actionConnect")->trigger();
    EXPECT_EQ(label, QStringLiteral("Server name:"));
    EXPECT_EQ(window.serverName(), server.serverName());
    EXPECT_EQ(shown(window), stored(server));
    EXPECT_EQ(boxes.answered(), 0);
}

TEST(HostMainWindow, ReloadWithoutAServerAsksAndCancelLoadsNothing) {
    const MessageBoxAutoAnswer boxes({});
    MainWindow window;
    window.show();

    QString label;
    answerNextInputDialog(QString(), &label);
    action(window, "actionReload")->trigger();
    EXPECT_EQ(label, QStringLiteral("Server name:"));
    EXPECT_TRUE(window.serverName().isEmpty());
    EXPECT_EQ(shown(window), (Counts{0, 0, 0}));
    // Nothing was attempted, so nothing failed.
    EXPECT_EQ(boxes.answered(), 0);
}

} // namespace
} // namespace stowline::host
