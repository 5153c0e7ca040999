#pragma once

#include <QByteArray>

namespace stowline::answer {

// A query answer that parses but holds no data set (an envelope the clean-up could not cut, an
// empty result, an XHTML page) would otherwise read as a data set without rows, and the operator
// would take it for an empty table. Throws StowlineError, naming what stands in the data set's
// place, when the unwrapped answer's first element is not Root. Only the start of the text is
// read; a data set without rows passes.
void requireDataSet(const QByteArray& unwrapped);

} // namespace stowline::answer
