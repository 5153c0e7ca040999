#include "platform/HttpExchange.h"

#include "platform/PasswordRedaction.h"
#include "platform/UrlUserInfo.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace stowline::platform {
namespace {

std::mutex settingsMutex;
HttpTimeouts currentTimeouts;
QString testCertificateAuthorities;

// Answers beyond this size are refused rather than exhausting memory.
constexpr std::size_t MaximumAnswerBytes = std::size_t{512} * 1024 * 1024;
// A challenge takes two or three answers. A service that closes the connection after each
// NTLM challenge makes curl start the handshake over and over, so an exchange is given up
// after this many.
constexpr int MaximumAnswersPerExchange = 8;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Sink {
    QByteArray* body;
    CURL* handle = nullptr;
    bool tooLarge = false;
    int answers = 0;
};

size_t countAnswers(char* data, size_t size, size_t count, void* userData) {
    auto* sink = static_cast<Sink*>(userData);
    const size_t bytes = size * count;
    if (std::string_view(data, bytes).starts_with("HTTP/") &&
        ++sink->answers > MaximumAnswersPerExchange) {
        return 0;
    }
    return bytes;
}

size_t appendBody(char* data, size_t size, size_t count, void* userData) {
    auto* sink = static_cast<Sink*>(userData);
    const size_t bytes = size * count;
    if (static_cast<std::size_t>(sink->body->size()) + bytes > MaximumAnswerBytes) {
        sink->tooLarge = true;
        return 0;
    }
    // A large answer grown piece by piece is copied again at every doubling; its announced
    // length (within the limit) is room enough from the start.
    curl_off_t announced = -1;
    if (sink->body->isEmpty() &&
        curl_easy_getinfo(sink->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
            CURLE_OK &&
        announced > 0) {
        sink->body->reserve(static_cast<qsizetype>(
            std::min(static_cast<std::size_t>(announced), MaximumAnswerBytes)));
    }
    sink->body->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

bool isAbsoluteHttpUrl(const QString& url) {
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// The given headers in order, and none of those curl would add on its own.
CurlList headerListFor(const std::vector<HttpHeader>& headers) {
    CurlList list;
    const auto add = [&list](const QByteArray& line) {
        curl_slist* extended = curl_slist_append(list.get(), line.constData());
        if (extended != nullptr) {
            (void)list.release();
            list.reset(extended);
        }
    };
    for (const HttpHeader& header : headers) {
        add(header.name + ": " + header.value);
    }
    // An empty value removes the header curl would otherwise add on its own.
    add("Accept:");
    add("Expect:");
    return list;
}

// Credentials are sent only in answer to a challenge, in the scheme the service asks for: sent
// unasked, Basic would show the password to a service that expects Digest. Without credentials
// only Negotiate can answer, with the operator's Kerberos ticket; curl tries it only when a user
// name is set, so an empty one stands in. CURLAUTH_ONLY keeps the single scheme from being used
// before the challenge. curl copies the texts.
void setCredentials(CURL* h, const UrlUserInfo& userInfo) {
    curl_easy_setopt(h, CURLOPT_USERNAME, userInfo.user.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, userInfo.password.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_HTTPAUTH,
                     userInfo.present
                         ? CURLAUTH_BASIC | CURLAUTH_DIGEST | CURLAUTH_NTLM | CURLAUTH_NEGOTIATE
                         : CURLAUTH_NEGOTIATE | CURLAUTH_ONLY);
}

// curl's defaults, set here so that no change elsewhere can turn verification off.
void setVerification(CURL* h) {
    QByteArray certificateAuthorities;
    {
        std::lock_guard lock(settingsMutex);
        certificateAuthorities = testCertificateAuthorities.toLocal8Bit();
    }
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!certificateAuthorities.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_CAINFO, certificateAuthorities.constData());
    }
}

// With POSTFIELDS curl sends the body again on every pass of a challenge, and leaves it out of
// an NTLM or Negotiate probe, whose Content-Length: 0 then replaces ours. curl does not copy the
// body or the header list: both must live until the exchange ends.
void setRequest(CURL* h, std::string_view body, const CurlList& headerList) {
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
}

void setReceiving(CURL* h, Sink& sink, char* errorBuffer) {
    const HttpTimeouts timeouts = httpTimeouts();
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, countAnswers);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectMilliseconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
}

// Why an exchange failed, in words that never quote the password.
QString failureText(CURLcode code, const char* errorBuffer, const Sink& sink, const QString& url) {
    QString detail = withoutPassword(QString::fromUtf8(errorBuffer), url);
    if (sink.tooLarge) {
        detail = QStringLiteral("the answer is larger than %1 bytes").arg(MaximumAnswerBytes);
    } else if (sink.answers > MaximumAnswersPerExchange) {
        detail = QStringLiteral("the service asked for credentials again and again (%1 answers)")
                     .arg(MaximumAnswersPerExchange);
    }
    QString text = QString::fromUtf8(curl_easy_strerror(code));
    if (!detail.isEmpty()) {
        text += QStringLiteral(": ") + detail;
    }
    return text;
}

} // namespace

HttpTimeouts httpTimeouts() {
    std::lock_guard lock(settingsMutex);
    return currentTimeouts;
}

void setHttpTimeouts(const HttpTimeouts& timeouts) {
    std::lock_guard lock(settingsMutex);
    currentTimeouts = timeouts;
}

void setTestCertificateAuthorities(const QString& pemFile) {
    std::lock_guard lock(settingsMutex);
    testCertificateAuthorities = pemFile;
}

HttpResponse httpPost(const QString& url, const std::vector<HttpHeader>& headers,
                      std::string_view body) {
    HttpResponse response;
    if (!isAbsoluteHttpUrl(url)) {
        response.transportError =
            QStringLiteral("The URL is not an absolute http or https URL: \"%1\"")
                .arg(withoutPassword(url, url));
        return response;
    }
    initialiseCurlOnce();
    std::unique_ptr<CURL, CurlEasyDeleter> handle(curl_easy_init());
    if (!handle) {
        response.transportError = QStringLiteral("The HTTP client could not be created");
        return response;
    }
    CURL* h = handle.get();
    // The client gets the credentials apart from the URL, so that none of its texts quotes them.
    const UrlUserInfo userInfo = splitUserInfo(url);
    curl_easy_setopt(h, CURLOPT_URL, userInfo.address.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // The component reads no configuration, proxy variables of the environment included.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    setCredentials(h, userInfo);
    setVerification(h);
    const CurlList headerList = headerListFor(headers);
    setRequest(h, body, headerList);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Sink sink{&response.body, h};
    setReceiving(h, sink, errorBuffer);

    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        response.transportError = failureText(code, errorBuffer, sink, url);
        return response;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    response.completed = true;
    return response;
}

} // namespace stowline::platform
