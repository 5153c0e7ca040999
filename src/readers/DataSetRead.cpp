#include "readers/DataSetRead.h"

#include "failures/StowlineError.h"
#include "readers/DataSetWalk.h"

namespace stowline::readers {

bool DataSetRead::parsedOrRaise() const {
    if (!parsed && !empty) {
        raiseError(0,
                   QStringLiteral("The data set is not well-formed XML: %1").arg(parseErrorReason));
    }
    return parsed;
}

DataSetRead readDataSet(QByteArray text, std::span<const char* const> columns) {
    DataSetRead read;
    read.empty = text.isEmpty();
    const DataSetWalk walk(std::move(text));
    read.parsed = walk.parsed();
    if (!read.parsed) {
        read.parseErrorReason = walk.parseErrorReason();
        return read;
    }
    read.rows = walk.rows(columns);
    return read;
}

DataSetRead DataSetInput::take(std::span<const char* const> columns) {
    return readDataSet(std::move(m_text), columns);
}

} // namespace stowline::readers
