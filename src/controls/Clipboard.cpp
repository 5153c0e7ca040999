#include "controls/Clipboard.h"

#include <QApplication>
#include <QClipboard>

namespace stowline::controls {

void copyToClipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

} // namespace stowline::controls
