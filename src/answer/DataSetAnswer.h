#pragma once

#include "answer/ServiceAnswer.h"

#include <QByteArray>
#include <QString>

namespace stowline::answer {

// A query's answer on the component's way to its data-set text, the two paths side by side: cut
// in one pass where the answer is in the form the service writes (DataSetCut.h), otherwise by
// the literal path (readEnvelopeText) and the operation's tag removal. Both give the same text
// where the first takes an answer. Either way the text must hold a data set (dataSetProblem).
AnswerRead readDataSet(QByteArray&& body, const QString& operation, const QString& url);

// A query answer that parses but holds no data set (an envelope the clean-up could not cut, an
// empty result, an XHTML page) would otherwise read as a data set without rows, and the
// operator would take it for an empty table. Says what stands in the data set's place when the
// unwrapped answer's first element is not Root; empty when it is. Only the prolog is read; a
// data set without rows passes.
QString dataSetProblem(const QByteArray& unwrapped);

} // namespace stowline::answer
