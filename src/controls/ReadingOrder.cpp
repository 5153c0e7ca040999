#include "controls/ReadingOrder.h"

#include <QLocale>

namespace stowline::controls {

QCollator readingCollator() {
    const QLocale system = QLocale::system();
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

} // namespace stowline::controls
