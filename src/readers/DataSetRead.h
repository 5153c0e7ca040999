#pragma once

#include "state/Utf8Table.h"
#include "system/OrderedWorker.h"
#include "xml/ReadResult.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <exception>
#include <memory>
#include <span>
#include <variant>

namespace stowline::readers {

// What reading one data-set text found: whether it was read (and why not) and the given columns
// of its rows. Reading touches nothing else, so it may run on any thread.
struct DataSetRead {
    xml::ReadResult result;
    state::Utf8Table rows;
};

// Whether a read's rows are to be shown: true when its text was read. Empty text is what a
// failed exchange leaves, and that failure has been reported already: false. Any other text
// that was not read is a failure, thrown with the parser's reason and position for the reader
// to report under its own name: shown as an empty list, it would tell the operator that the
// service holds no rows.
bool readOrRaise(const xml::ReadResult& result);

// Parses the text in place (pass it with std::move) and takes the columns of its rows.
DataSetRead readDataSet(QByteArray text, std::span<const char* const> columns);

// A data set as a reader receives it: its text, read when the reader takes it, or a read handed
// to a worker, for the same columns. A handed read that the worker has not begun when the reader
// takes it runs on the reader's thread instead, so that both threads read while the worker is
// busy with a larger answer; otherwise the reader waits for the worker's result or failure.
class DataSetInput {
public:
    DataSetInput(QByteArray text) : m_input(std::move(text)) {}
    DataSetInput(const char* text) : m_input(QByteArray(text)) {}
    // Hands the read to the worker, after whatever was handed to it before.
    static DataSetInput readOn(system::OrderedWorker& worker, QByteArray text,
                               std::span<const char* const> columns);

    DataSetInput(DataSetInput&&) noexcept = default;
    DataSetInput& operator=(DataSetInput&&) = delete;
    // Waits until the worker is done with this input's read, which it may be running.
    ~DataSetInput();

    // The read; a failure it met is thrown here.
    DataSetRead take(std::span<const char* const> columns);

private:
    // A read whichever thread claims it first runs; the worker says when it is done with it.
    struct Job {
        std::atomic<bool> claimed = false;
        QByteArray text;
        std::span<const char* const> columns;
        DataSetRead result;
        std::exception_ptr failure;
        system::TaskDone done;
    };
    struct Pending {
        std::unique_ptr<Job> job;
    };
    explicit DataSetInput(Pending pending) : m_input(std::move(pending)) {}

    std::variant<QByteArray, Pending> m_input;
};

} // namespace stowline::readers
