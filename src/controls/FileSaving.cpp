#include "controls/FileSaving.h"

#include <QFileDialog>
#include <QSaveFile>

namespace stowline::controls {
namespace {

SaveFileNameAsker& currentAsker() {
    static SaveFileNameAsker asker;
    return asker;
}

} // namespace

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (currentAsker()) {
        return currentAsker()(caption);
    }
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

void setSaveFileNameAsker(SaveFileNameAsker asker) {
    currentAsker() = std::move(asker);
}

QString saveFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

} // namespace stowline::controls
