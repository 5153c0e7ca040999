#include "http/PasswordRedaction.h"

#include "http/UrlUserInfo.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace stowline::http {
namespace {

// The percent-encoding with lower-case hexadecimal digits, as some encoders write it.
QString withLowerCaseEscapes(QString encoded) {
    for (qsizetype i = encoded.indexOf(QLatin1Char('%')); i >= 0 && i + 2 < encoded.size();
         i = encoded.indexOf(QLatin1Char('%'), i + 3)) {
        encoded[i + 1] = encoded[i + 1].toLower();
        encoded[i + 2] = encoded[i + 2].toLower();
    }
    return encoded;
}

// Every form in which the password can reach a text: as written in the URL, percent-decoded,
// percent-encoded (with upper- or lower-case digits), and inside the Basic token, the base64 of
// "user:password" (with and without its padding). Longest first, so that no shorter form cuts
// into a longer one before it is hidden.
QStringList passwordForms(const UrlUserInfo& userInfo) {
    if (userInfo.password.isEmpty()) {
        return {};
    }
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(userInfo.password));
    const QByteArray token = (userInfo.user + QLatin1Char(':') + userInfo.password).toUtf8();
    QStringList forms{userInfo.writtenPassword,
                      userInfo.password,
                      encoded,
                      withLowerCaseEscapes(encoded),
                      QString::fromLatin1(token.toBase64()),
                      QString::fromLatin1(token.toBase64(QByteArray::OmitTrailingEquals))};
    forms.removeAll(QString());
    forms.removeDuplicates();
    std::sort(forms.begin(), forms.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return forms;
}

} // namespace

QString withoutPassword(QString text, const QString& url) {
    for (const QString& form : passwordForms(splitUserInfo(url))) {
        text.replace(form, QStringLiteral("***"));
    }
    return text;
}

} // namespace stowline::http
