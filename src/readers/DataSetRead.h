#pragma once

#include "state/Utf8Table.h"

#include <QByteArray>
#include <QString>

#include <span>

namespace stowline::readers {

// What reading one data-set text found: whether it parsed (and why not) and the given columns
// of its rows. Reading touches nothing else, so it may run on any thread.
struct DataSetRead {
    bool empty = true;
    bool parsed = false;
    QString parseErrorReason;
    state::Utf8Table rows;

    // Whether the text parsed. A text that is not empty and does not parse is a failure, thrown
    // with the parser's reason and position for the reader to report under its own name: shown
    // as an empty list, it would tell the operator that the service holds no rows. Empty text is
    // what a failed exchange leaves, and that failure has been reported already.
    bool parsedOrRaise() const;
};

// Parses the text in place (pass it with std::move) and takes the columns of its rows.
DataSetRead readDataSet(QByteArray text, std::span<const char* const> columns);

// A data set as a reader receives it: its text, read when the reader takes it.
class DataSetInput {
public:
    DataSetInput(QByteArray text) : m_text(std::move(text)) {}
    DataSetInput(const char* text) : m_text(text) {}

    DataSetRead take(std::span<const char* const> columns);

private:
    QByteArray m_text;
};

} // namespace stowline::readers
