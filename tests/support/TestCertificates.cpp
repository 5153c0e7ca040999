#include "support/TestCertificates.h"

#include <QProcess>
#include <QStringList>

namespace stowline::test {

bool makeTestCertificates(const QString& folder) {
    const QString request = "req -x509 -nodes -days 2 -subj /CN=Stowline-Test-";
    for (const char* rest :
         {"CA -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -keyout %1/ca.key -out %1/ca.pem",
          "Server -newkey rsa:2048 -keyout %1/server.key -out %1/server.pem -CA %1/ca.pem -CAkey "
          "%1/ca.key -addext subjectAltName=IP:127.0.0.1 -addext "
          "basicConstraints=critical,CA:FALSE"}) {
        if (QProcess::execute("openssl", (request + rest).arg(folder).split(' ')) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace stowline::test
