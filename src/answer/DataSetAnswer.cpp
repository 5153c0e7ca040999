#include "answer/DataSetAnswer.h"

#include "answer/DataSetCut.h"
#include "answer/Unwrapping.h"
#include "xml/Prolog.h"

namespace stowline::answer {

AnswerRead readDataSet(QByteArray&& body, const QString& operation, const QString& url) {
    AnswerRead read;
    if (cutDataSetInPlace(body, operation)) {
        read = {AnswerRead::Status::Accepted, std::move(body), {}};
    } else {
        read = readEnvelopeText(std::move(body), url);
        if (read.status != AnswerRead::Status::Accepted) {
            return read;
        }
        read.text = ReplaceOperationSOAPTags(operation, std::move(read.text));
    }
    if (QString problem = dataSetProblem(read.text); !problem.isEmpty()) {
        return {AnswerRead::Status::Foreign, {}, std::move(problem)};
    }
    return read;
}

QString dataSetProblem(const QByteArray& unwrapped) {
    const std::string_view name =
        xml::readProlog(
            std::string_view(unwrapped.constData(), static_cast<std::size_t>(unwrapped.size())))
            .elementName;
    if (name == "Root") {
        return {};
    }
    const QString found = name.empty() ? QStringLiteral("no element at all")
                                       : QStringLiteral("<%1>").arg(QString::fromUtf8(
                                             name.data(), static_cast<qsizetype>(name.size())));
    return QStringLiteral("The service's answer holds no data set: %1 where <Root> was expected")
        .arg(found);
}

} // namespace stowline::answer
