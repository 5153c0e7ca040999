#include "answer/DataSetCheck.h"

#include "failures/StowlineError.h"
#include "xml/Prolog.h"

#include <string_view>

namespace stowline::answer {

void requireDataSet(const QByteArray& unwrapped) {
    const std::string_view name =
        xml::readProlog(
            std::string_view(unwrapped.constData(), static_cast<std::size_t>(unwrapped.size())))
            .elementName;
    if (name == "Root") {
        return;
    }
    const QString found = name.empty() ? QStringLiteral("no element at all")
                                       : QStringLiteral("<%1>").arg(QString::fromUtf8(
                                             name.data(), static_cast<qsizetype>(name.size())));
    raiseTransportFailure(
        QStringLiteral("The service's answer holds no data set: %1 where <Root> was expected")
            .arg(found));
}

} // namespace stowline::answer
