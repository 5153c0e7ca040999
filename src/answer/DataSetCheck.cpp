#include "answer/DataSetCheck.h"

#include "failures/StowlineError.h"

#include <string_view>

namespace stowline::answer {
namespace {

// The name of the first element, past a declaration, instructions, comments, a DOCTYPE and
// white space; empty when the text holds no element.
std::string_view firstElementName(std::string_view text) {
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const auto skipPast = [&](std::string_view terminator) {
        const std::size_t end = text.find(terminator, i);
        i = end == std::string_view::npos ? text.size() : end + terminator.size();
    };
    while (i < text.size()) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<?")) {
            skipPast("?>");
        } else if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<!")) {
            skipPast(">");
        } else if (rest.starts_with("<")) {
            const std::size_t end = rest.find_first_of(" \t\r\n/>", 1);
            return rest.substr(1, (end == std::string_view::npos ? rest.size() : end) - 1);
        } else {
            ++i;
        }
    }
    return {};
}

} // namespace

void requireDataSet(const QByteArray& unwrapped) {
    const std::string_view name =
        firstElementName(std::string_view(unwrapped.constData(), unwrapped.size()));
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
