#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace stowline::controls {

// Asks the operator where to save a file (a modal save dialog); empty when the operator
// cancelled.
QString askSaveFileName(QWidget* parent, const QString& caption, const QString& filter);

// Replaces the dialog (tests choose a path without a screen); an empty function restores it.
using SaveFileNameAsker = std::function<QString(const QString& caption)>;
void setSaveFileNameAsker(SaveFileNameAsker asker);

// Writes the bytes to the file through a temporary file renamed into place, so that a failure
// leaves nothing half-written. Returns the system's reason when it cannot, empty otherwise.
QString saveFile(const QString& path, const QByteArray& bytes);

} // namespace stowline::controls
