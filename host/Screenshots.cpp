#include "Screenshots.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QWidget>

namespace stowline::host {
namespace {

struct Page {
    const char* fileName;
    const char* listName;
};

constexpr Page pages[] = {
    {"page1-routes.png", "lstRoute"},
    {"page2-storage-locations.png", "lstLocation"},
    {"page3-assignments.png", "lstStowline"},
};

} // namespace

ScreenshotResult saveScreenshots(QWidget& window, const QString& directory) {
    ScreenshotResult result;
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    if (tabs == nullptr || tabs->count() != int(std::size(pages))) {
        result.error = QStringLiteral("The window holds no component with three pages (SSTab1).");
        return result;
    }
    const QDir dir(directory);
    if (!dir.mkpath(QStringLiteral("."))) {
        result.error = QStringLiteral("Cannot create the folder %1.").arg(directory);
        return result;
    }

    const int shownBefore = tabs->currentIndex();
    for (int index = 0; index < int(std::size(pages)); ++index) {
        const Page& page = pages[index];
        tabs->setCurrentIndex(index);
        // Layout and polish requests posted by the switch must be handled before the grab.
        QCoreApplication::sendPostedEvents();

        PageShot shot;
        shot.filePath = dir.absoluteFilePath(QString::fromLatin1(page.fileName));
        shot.listName = QString::fromLatin1(page.listName);
        if (const auto* list = window.findChild<QAbstractItemView*>(shot.listName)) {
            shot.rows = list->model()->rowCount();
        }
        if (!window.grab().save(shot.filePath, "PNG")) {
            result.error = QStringLiteral("Cannot write %1.").arg(shot.filePath);
        }
        result.pages.append(shot);
        if (!result.ok()) {
            break;
        }
    }
    tabs->setCurrentIndex(shownBefore);
    return result;
}

} // namespace stowline::host
