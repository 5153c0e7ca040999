#include "ServerName.h"

#include <QUrl>
#include <algorithm>

namespace stowline::host {
namespace {

// Where the parts of the authority stand; at and colon are -1 when absent.
struct Authority {
    qsizetype start = 0;  // after "scheme://"
    qsizetype at = -1;    // the '@' that ends the user-info
    qsizetype colon = -1; // the ':' before the password
};

Authority locate(const QString& name) {
    Authority a;
    const qsizetype scheme = name.indexOf(QLatin1String("://"));
    a.start = scheme < 0 ? 0 : scheme + 3;
    qsizetype end = name.size();
    for (const char16_t delimiter : {u'/', u'?', u'#'}) {
        const qsizetype found = name.indexOf(QChar(delimiter), a.start);
        end = found < 0 ? end : std::min(end, found);
    }
    a.at = QStringView(name).first(end).lastIndexOf(u'@');
    if (a.at < a.start) {
        a.at = -1;
        return a;
    }
    const qsizetype colon = name.indexOf(u':', a.start);
    a.colon = colon < a.at ? colon : -1;
    return a;
}

} // namespace

bool hasPassword(const QString& serverName) {
    const Authority a = locate(serverName);
    return a.colon >= 0 && a.at - a.colon > 1;
}

QString withoutPassword(const QString& serverName, const QString& mask) {
    const Authority a = locate(serverName);
    if (a.colon < 0) {
        return serverName;
    }
    return QString(serverName)
        .replace(a.colon, a.at - a.colon, mask.isEmpty() ? QString() : u':' + mask);
}

QString withPassword(const QString& serverName, const QString& password) {
    QString name = withoutPassword(serverName);
    const Authority a = locate(name);
    const QString encoded = u':' + QString::fromLatin1(QUrl::toPercentEncoding(password));
    return a.at < 0 ? name.insert(a.start, encoded + u'@') : name.insert(a.at, encoded);
}

} // namespace stowline::host
