#include "readers/DataSetRead.h"

#include "failures/StowlineError.h"
#include "readers/DataSetWalk.h"

namespace stowline::readers {

bool readOrRaise(const xml::ReadResult& result) {
    if (result.status == xml::ReadResult::Status::Malformed) {
        raiseError(
            0, QStringLiteral("The data set is not well-formed XML: %1").arg(result.description()));
    }
    return static_cast<bool>(result);
}

DataSetRead readDataSet(QByteArray text, std::span<const char* const> columns) {
    const DataSetWalk walk(std::move(text));
    DataSetRead read{walk.result(), state::Utf8Table(0, 0)};
    if (read.result) {
        read.rows = walk.rows(columns);
    }
    return read;
}

DataSetInput DataSetInput::readOn(system::OrderedWorker& worker, QByteArray text,
                                  std::span<const char* const> columns) {
    auto job = std::make_unique<Job>();
    job->text = std::move(text);
    job->columns = columns;
    worker.post([job = job.get()] {
        if (!job->claimed.exchange(true)) {
            try {
                job->result = readDataSet(std::move(job->text), job->columns);
            } catch (...) {
                job->failure = std::current_exception();
            }
        }
        job->done.set();
    });
    return DataSetInput(Pending{std::move(job)});
}

DataSetInput::~DataSetInput() {
    if (auto* pending = std::get_if<Pending>(&m_input); pending != nullptr && pending->job) {
        pending->job->done.wait();
    }
}

DataSetRead DataSetInput::take(std::span<const char* const> columns) {
    if (auto* pending = std::get_if<Pending>(&m_input)) {
        Job& job = *pending->job;
        if (!job.claimed.exchange(true)) {
            return readDataSet(std::move(job.text), job.columns);
        }
        job.done.wait();
        if (job.failure) {
            std::rethrow_exception(job.failure);
        }
        return std::move(job.result);
    }
    return readDataSet(std::move(std::get<QByteArray>(m_input)), columns);
}

} // namespace stowline::readers
