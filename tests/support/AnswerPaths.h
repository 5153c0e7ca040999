#pragma once

// The component's two ways from a query's answer to its data-set text, held against each other:
// the one-pass cut, and the literal path that a host's ReturnWebserviceXML and the operation's
// unwrapping take. The normal suite and the fuzz target ask the same question.
#include "answer/DataSetCut.h"
#include "answer/ServiceAnswer.h"
#include "answer/Unwrapping.h"

#include <QByteArray>
#include <QString>

namespace stowline::test {

struct PathsCompared {
    // Whether the one-pass way took the answer.
    bool taken = false;
    // Taken: the literal path accepts the answer and gives the same text. Declined: the answer
    // is left byte for byte as it came, for the literal path to take with all its checks.
    bool agree = false;
};

inline PathsCompared compareAnswerPaths(const QString& operation, const QByteArray& answer) {
    QByteArray cut = answer;
    if (!answer::cutDataSetInPlace(cut, operation)) {
        return {false, cut == answer};
    }
    answer::AnswerRead literal =
        answer::readEnvelopeText(QByteArray(answer), QStringLiteral("http://host"));
    return {true, literal.status == answer::AnswerRead::Status::Accepted &&
                      answer::ReplaceOperationSOAPTags(operation, std::move(literal.text)) == cut};
}

} // namespace stowline::test
