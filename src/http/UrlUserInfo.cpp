#include "http/UrlUserInfo.h"

#include <QUrl>

namespace stowline::http {
namespace {

// Where the authority starts: after "scheme://", or at the beginning when the text does not
// start with a scheme (a "://" further on belongs to the path or query).
qsizetype authorityStart(const QString& url) {
    const qsizetype separator = url.indexOf(QLatin1String("://"));
    if (separator <= 0) {
        return 0;
    }
    for (qsizetype i = 0; i < separator; ++i) {
        const QChar c = url.at(i);
        const bool schemeCharacter = (c.isLetterOrNumber() && c.unicode() < 0x80) ||
                                     c == QLatin1Char('+') || c == QLatin1Char('-') ||
                                     c == QLatin1Char('.');
        if (!schemeCharacter) {
            return 0;
        }
    }
    return separator + 3;
}

QString percentDecoded(QStringView text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

} // namespace

UrlUserInfo splitUserInfo(const QString& url) {
    UrlUserInfo parts;
    parts.address = url;
    const qsizetype start = authorityStart(url);
    qsizetype end = url.size();
    for (const char delimiter : {'/', '?', '#'}) {
        const qsizetype found = url.indexOf(QLatin1Char(delimiter), start);
        if (found >= 0 && found < end) {
            end = found;
        }
    }
    const qsizetype at = QStringView(url).first(end).lastIndexOf(QLatin1Char('@'));
    if (at < start) {
        return parts;
    }
    const QStringView userInfo = QStringView(url).sliced(start, at - start);
    const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
    const QStringView user = colon < 0 ? userInfo : userInfo.first(colon);
    const QStringView password = colon < 0 ? QStringView() : userInfo.sliced(colon + 1);
    parts.address = url.first(start) + url.sliced(at + 1);
    parts.present = true;
    parts.user = percentDecoded(user);
    parts.password = percentDecoded(password);
    parts.writtenPassword = password.toString();
    return parts;
}

} // namespace stowline::http
