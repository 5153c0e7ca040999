#include "platform/PasswordRedaction.h"

#include "platform/UrlUserInfo.h"

namespace stowline::platform {

QString withoutPassword(QString text, const QString& url) {
    const UrlUserInfo userInfo = splitUserInfo(url);
    const QString mask = QStringLiteral("***");
    for (const QString& password : {userInfo.writtenPassword, userInfo.password}) {
        if (!password.isEmpty()) {
            text.replace(password, mask);
        }
    }
    return text;
}

} // namespace stowline::platform
