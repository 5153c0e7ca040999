#include "MainWindow.h"
#include "Screenshots.h"

#include <stowline/Stowline.h>

#include <QFileInfo>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

TEST(HostScreenshots, SavesEachPageOfTheWindowAndRestoresTheShownPage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MainWindow window;
    window.show();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(2);

    // A folder that does not exist yet, two levels deep.
    const QString target = dir.filePath(QStringLiteral("shots/today"));
    const ScreenshotResult result = saveScreenshots(window, target);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(tabs->currentIndex(), 2);

    const QStringList names{QStringLiteral("page1-routes.png"),
                            QStringLiteral("page2-storage-locations.png"),
                            QStringLiteral("page3-assignments.png")};
    const QStringList lists{QStringLiteral("lstRoute"), QStringLiteral("lstLocation"),
                            QStringLiteral("lstStowline")};
    ASSERT_EQ(result.pages.size(), 3);
    QList<QImage> images;
    for (int i = 0; i < 3; ++i) {
        const PageShot& page = result.pages[i];
        EXPECT_EQ(page.filePath, QFileInfo(target + u'/' + names[i]).absoluteFilePath());
        EXPECT_EQ(page.listName, lists[i]);
        EXPECT_EQ(page.rows, 0) << "nothing was loaded";
        QImage image(page.filePath, "PNG");
        ASSERT_FALSE(image.isNull()) << page.filePath.toStdString();
        // The whole window: the component at its design size under the menu bar.
        EXPECT_EQ(image.size(), window.grab().size());
        EXPECT_GE(image.height(), window.component().sizeHint().height());
        images << image;
    }
    // Each picture shows its own page.
    EXPECT_NE(images[0], images[1]);
    EXPECT_NE(images[1], images[2]);
    EXPECT_NE(images[0], images[2]);
}

TEST(HostScreenshots, ReportsAFolderItCannotCreate) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    MainWindow window;
    const ScreenshotResult result = saveScreenshots(window, blocker + QStringLiteral("/shots"));
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.pages.isEmpty());
}

TEST(HostScreenshots, NeedsTheComponent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QWidget empty;
    const ScreenshotResult result = saveScreenshots(empty, dir.path());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QStringLiteral("SSTab1"))) << result.error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing is written";
}

} // namespace
} // namespace stowline::host
