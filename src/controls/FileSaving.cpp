#include "controls/FileSaving.h"

#include "controls/ActionScope.h"

#include <QFileDialog>
#include <QPointer>
#include <QSaveFile>

namespace stowline::controls {
namespace {

SaveFileNameAsker& currentAsker() {
    static SaveFileNameAsker asker;
    return asker;
}

} // namespace

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (actionAbandoned()) {
        return {}; // its component is gone: nothing to save
    }
    if (currentAsker()) {
        return currentAsker()(caption);
    }
    // Made on the heap, since its parent may be deleted while it is up, and closed when the
    // component whose action opened it is deleted.
    const QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    const LoopExit exit([dialog] {
        if (dialog != nullptr) {
            dialog->reject();
        }
    });
    const bool chosen = dialog->exec() == QDialog::Accepted && !actionAbandoned();
    const QString path = chosen && dialog != nullptr ? dialog->selectedFiles().value(0) : QString();
    delete dialog.data();
    return path;
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
