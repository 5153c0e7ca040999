#include "MainWindow.h"
#include "MessageBoxAutoAnswer.h"

#include <stowline/Stowline.h>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <array>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

namespace stowline::host {
namespace {

using Rows = std::array<int, 3>; // routes, storage locations, active centers

Rows shown(const MainWindow& window) {
    Rows rows{};
    const char* const lists[] = {"lstRoute", "lstLocation", "lstStowline"};
    for (int i = 0; i < 3; ++i) {
        const auto* list = window.findChild<QAbstractItemView*>(lists[i]);
        rows[i] = list == nullptr ? -1 : list->model()->rowCount();
    }
    return rows;
}

Rows stored(const test::StandInServer& server) {
    const auto count = [&server](const char* from) {
        return server.queryValue(QStringLiteral("SELECT count(*) FROM ") + from).toInt();
    };
    return {count("routes"), count("storage_locations"), count("centers WHERE status = '2'")};
}

void trigger(const MainWindow& window, const char* name) {
    auto* action = window.findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

// Triggers the action and answers the input dialog it opens with `text`, or cancels it when
// text is null; returns the dialog's label.
QString triggerAndAnswer(const MainWindow& window, const char* name, const QString& text) {
    QString label;
    QTimer::singleShot(0, [&label, text] {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            label = dialog->labelText();
            dialog->setTextValue(text);
            text.isNull() ? dialog->reject() : dialog->accept();
        }
    });
    trigger(window, name);
    return label;
}

TEST(HostMainWindow, ConnectsReloadsFromTheServerAndQuits) {
    test::StandInServer server;
    const MessageBoxAutoAnswer boxes({});
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Not connected");
    EXPECT_EQ(window.centralWidget(), &window.component());
    EXPECT_EQ(window.component().size(), window.component().sizeHint());

    // Reload without a server asks for one; cancelled, nothing is attempted.
    EXPECT_EQ(triggerAndAnswer(window, "actionReload", QString()), "Server name:");
    EXPECT_TRUE(window.serverName().isEmpty());
    EXPECT_EQ(shown(window), (Rows{0, 0, 0}));

    EXPECT_EQ(triggerAndAnswer(window, "actionConnect", "  " + server.serverName() + " "),
              "Server name:");
    EXPECT_EQ(window.serverName(), server.serverName());
    EXPECT_EQ(window.windowTitle(), server.serverName());
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

    EXPECT_EQ(window.findChild<QAction*>("actionReload")->shortcut(), QKeySequence(Qt::Key_F5));
    trigger(window, "actionQuit");
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace stowline::host
