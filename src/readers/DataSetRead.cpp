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

DataSetInput DataSetInput::readOn(platform::OrderedWorker& worker, QByteArray text,
                                  std::span<const char* const> columns) {
    auto job = std::make_unique<Job>();
    job->text = std::move(text);
    job->columns = columns;
    std::future<void> done = worker.run([job = job.get()] {
        if (!job->claimed.exchange(true)) {
            job->result = readDataSet(std::move(job->text), job->columns);
        }
    });
    return DataSetInput(Pending{std::move(job), std::move(done)});
}

DataSetInput::~DataSetInput() {
    if (auto* pending = std::get_if<Pending>(&m_input);
        pending != nullptr && pending->done.valid()) {
        pending->done.wait();
    }
}

DataSetRead DataSetInput::take(std::span<const char* const> columns) {
    if (auto* pending = std::get_if<Pending>(&m_input)) {
        Job& job = *pending->job;
        if (!job.claimed.exchange(true)) {
            return readDataSet(std::move(job.text), job.columns);
        }
        pending->done.get();
        return std::move(job.result);
    }
    return readDataSet(std::move(std::get<QByteArray>(m_input)), columns);
}

} // namespace stowline::readers
