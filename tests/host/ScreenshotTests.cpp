#include "MainWindow.h"
#include "Screenshots.h"

#include <stowline/Stowline.h>

#include <QDir>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

TEST(HostScreenshots, SavesEachPageOfTheWindowAndRestoresTheShownPage) {
    const QTemporaryDir dir;
    MainWindow window;
    window.show();
    auto* tabs = window.findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(2);

    // A folder that does not exist yet, two levels deep.
    const ScreenshotResult result = saveScreenshots(window, dir.filePath("shots/today"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(tabs->currentIndex(), 2);
    // Their paths, list names and row counts are what the host program prints; its test checks
    // them.
    ASSERT_EQ(result.pages.size(), 3);
    QList<QImage> images;
    for (const PageShot& page : result.pages) {
        // The whole window: the component at its design size under the menu bar.
        images << QImage(page.filePath, "PNG");
        EXPECT_EQ(images.last().size(), window.grab().size()) << page.filePath.toStdString();
        EXPECT_GE(images.last().height(), window.component().sizeHint().height());
    }
    // Each picture shows its own page.
    EXPECT_TRUE(images[0] != images[1] && images[1] != images[2] && images[0] != images[2]);
}

TEST(HostScreenshots, RefusesAFolderItCannotCreateOrAWindowWithoutTheComponent) {
    const QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MainWindow window;
    const ScreenshotResult blocked = saveScreenshots(window, dir.filePath("file/shots"));
    EXPECT_FALSE(blocked.ok());
    EXPECT_TRUE(blocked.pages.isEmpty());

    QWidget empty;
    const ScreenshotResult refused = saveScreenshots(empty, dir.filePath("shots"));
    EXPECT_TRUE(refused.error.contains("SSTab1")) << refused.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("shots"))) << "nothing is written";
}

} // namespace
} // namespace stowline::host
