#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace stowline::host {

// One page of the component as saved to disk.
struct PageShot {
    QString filePath; // absolute path of the PNG
    QString listName; // objectName of the page's list
    int rows = -1;    // rows the list held; -1 when the list was not found
};

struct ScreenshotResult {
    QList<PageShot> pages;
    QString error; // empty on success
    bool ok() const { return error.isEmpty(); }
};

// Shows each of the three pages of the component inside `window` in turn (tab SSTab1) and saves
// a picture of the whole window into `directory` (created when missing): page1-routes.png,
// page2-storage-locations.png, page3-assignments.png. The page shown before is shown again
// afterwards.
ScreenshotResult saveScreenshots(QWidget& window, const QString& directory);

} // namespace stowline::host
