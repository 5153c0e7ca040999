#pragma once

#include <QString>
#include <cstddef>

namespace stowline::xml {

// What reading a text as XML gave: whether the text was read into a document and, when it was
// not, why and where.
struct ReadResult {
    enum class Status {
        // The text was read into a document.
        Read,
        // The text was empty, which is not a document either.
        Empty,
        // The text is not well-formed XML: the parser refused it, or it holds what the parser
        // would take although XML does not allow it (a bare "&", text beside the document
        // element, a character XML allows nowhere).
        Malformed,
    };

    Status status = Status::Empty;
    // Where in the text the reason was found.
    std::size_t offset = 0;
    // What was found there; empty when the text was read.
    QString reason;

    explicit operator bool() const { return status == Status::Read; }

    // "reason (at offset N)"; empty when the text was read.
    QString description() const {
        return status == Status::Read ? QString()
                                      : QStringLiteral("%1 (at offset %2)").arg(reason).arg(offset);
    }
};

} // namespace stowline::xml
