#pragma once

#include <QString>

namespace stowline::controls {

// Puts the text on the system clipboard.
void copyToClipboard(const QString& text);

} // namespace stowline::controls
