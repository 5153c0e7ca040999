#include "http/HttpExchange.h"

#include "http/EventLoopTransfer.h"
#include "http/PasswordRedaction.h"
#include "http/TransferPace.h"
#include "http/UrlUserInfo.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace stowline::http {
namespace {

std::mutex settingsMutex;
HttpTimeouts currentTimeouts;
QString testCertificateAuthorities;

// A challenge takes two or three answers. A service that closes the connection after each
// NTLM challenge makes curl start the handshake over and over, so an exchange is given up
// after this many.
constexpr int MaximumAnswersPerExchange = 8;
constexpr long ChallengeStatus = 401;

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

// What the callbacks see of one exchange: the requests that went out, the answers that came
// back, and how fast bytes moved.
struct Exchange {
    QByteArray* body;
    CURL* handle = nullptr;
    Resending resending = Resending::Allowed;
    TransferPace pace;
    int requests = 0;
    // The status of the latest request's answer; 0 until its status line arrives.
    long latestStatus = 0;
    int answers = 0;
    bool tooLarge = false;
    bool tooSlow = false;
    bool resendRefused = false;
    system::Cancellation::Reason cancelled = system::Cancellation::Reason::None;
    // Bytes moved by the requests before the latest (curl counts each request from 0).
    curl_off_t movedBefore = 0;
    curl_off_t movedLatest = 0;

    // Whether a request went out that no challenge answered.
    bool requestUnanswered() const { return requests > 0 && latestStatus != ChallengeStatus; }
};

// curl calls this before every request it sends, the first one, one that answers a challenge,
// and one it sends again on its own because a reused connection died before the answer. That
// last one may repeat a request the service already acted on.
int beforeEachRequest(void* userData, char*, char*, int, int) {
    auto* exchange = static_cast<Exchange*>(userData);
    if (exchange->resending == Resending::OnlyAfterChallenge && exchange->requestUnanswered()) {
        exchange->resendRefused = true;
        return CURL_PREREQFUNC_ABORT;
    }
    ++exchange->requests;
    exchange->latestStatus = 0;
    exchange->movedBefore += exchange->movedLatest;
    exchange->movedLatest = 0;
    return CURL_PREREQFUNC_OK;
}

std::optional<long long> numberAfter(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size() ||
        QByteArrayView(line.substr(0, prefix.size())).compare(prefix, Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    bool ok = false;
    const long long number =
        QByteArrayView(line.substr(prefix.size())).trimmed().toLongLong(&ok, 10);
    return ok ? std::optional(number) : std::nullopt;
}

// Each answer's status line and headers: a status is noted, an answer that announces more than
// the limit is refused before its body is read.
size_t readHeader(char* data, size_t size, size_t count, void* userData) {
    auto* exchange = static_cast<Exchange*>(userData);
    const size_t bytes = size * count;
    const std::string_view line(data, bytes);
    if (line.starts_with("HTTP/")) {
        const std::size_t space = line.find(' ');
        exchange->latestStatus =
            space == std::string_view::npos
                ? 0
                : QByteArrayView(line.substr(space + 1, 3)).toLong(nullptr, 10);
        if (++exchange->answers > MaximumAnswersPerExchange) {
            return 0;
        }
    } else if (const std::optional<long long> length = numberAfter(line, "Content-Length:");
               length && *length > MaximumAnswerBytes) {
        exchange->tooLarge = true;
        return 0;
    }
    return bytes;
}

size_t appendBody(char* data, size_t size, size_t count, void* userData) {
    auto* exchange = static_cast<Exchange*>(userData);
    const auto bytes = static_cast<qsizetype>(size * count);
    if (exchange->body->size() + bytes > MaximumAnswerBytes) {
        exchange->tooLarge = true;
        return 0;
    }
    // A large answer grown piece by piece is copied again at every doubling; its announced
    // length (within the limit) is room enough from the start.
    curl_off_t announced = -1;
    if (exchange->body->isEmpty() &&
        curl_easy_getinfo(exchange->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
            CURLE_OK &&
        announced > 0) {
        exchange->body->reserve(std::min(static_cast<qsizetype>(announced), MaximumAnswerBytes));
    }
    exchange->body->append(data, bytes);
    return size * count;
}

// Called often while bytes move, and about once a second while none do.
int checkPace(void* userData, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) {
    auto* exchange = static_cast<Exchange*>(userData);
    exchange->movedLatest = std::max(exchange->movedLatest, received + sent);
    exchange->tooSlow = exchange->pace.tooSlow(TransferPace::Clock::now(),
                                               exchange->movedBefore + exchange->movedLatest);
    return exchange->tooSlow ? 1 : 0;
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
// unasked, Basic would show the password to a service that expects Digest. Basic carries the
// password readable, so it answers only over https. Without credentials only Negotiate can
// answer, with the operator's Kerberos ticket; curl tries it only when a user name is set, so
// an empty one stands in. CURLAUTH_ONLY keeps the single scheme from being used before the
// challenge. curl copies the texts.
void setCredentials(CURL* h, const UrlUserInfo& userInfo) {
    const bool overTls =
        userInfo.address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    const unsigned long hashedSchemes = CURLAUTH_DIGEST | CURLAUTH_NTLM | CURLAUTH_NEGOTIATE;
    curl_easy_setopt(h, CURLOPT_USERNAME, userInfo.user.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, userInfo.password.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_HTTPAUTH,
                     !userInfo.present ? CURLAUTH_NEGOTIATE | CURLAUTH_ONLY
                     : overTls         ? hashedSchemes | CURLAUTH_BASIC
                                       : hashedSchemes);
}

// curl's defaults, set here so that no change elsewhere can turn verification off; and no
// protocol older than TLS 1.2, whatever the system's TLS library would still accept.
void setVerification(CURL* h) {
    QByteArray certificateAuthorities;
    {
        std::lock_guard lock(settingsMutex);
        certificateAuthorities = testCertificateAuthorities.toLocal8Bit();
    }
    curl_easy_setopt(h, CURLOPT_SSLVERSION, CURL_SSLVERSION_TLSv1_2);
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

void setWatching(CURL* h, Exchange& exchange, char* errorBuffer) {
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, beforeEachRequest);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, checkPace);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, httpTimeouts().connectMilliseconds);
}

QString cancelledText(system::Cancellation::Reason reason) {
    return reason == system::Cancellation::Reason::Operator
               ? QStringLiteral("the exchange was cancelled by the operator")
               : QStringLiteral("the exchange was abandoned: nobody waits for its answer");
}

// Runs the transfer to its end: blocked in curl's own wait, or, with a cancellation, in the
// calling thread's event loop until it ends or is cancelled.
CURLcode perform(CURL* h, Exchange& exchange, system::Cancellation* cancellation) {
    if (cancellation == nullptr) {
        return curl_easy_perform(h);
    }
    const CURLcode result = performInEventLoop(h, *cancellation);
    exchange.cancelled = cancellation->reason();
    return result;
}

// Why an exchange failed, in words that never quote the password.
QString failureText(CURLcode code, const char* errorBuffer, const Exchange& exchange,
                    const QString& url) {
    if (exchange.cancelled != system::Cancellation::Reason::None) {
        return cancelledText(exchange.cancelled);
    }
    QString detail = withoutPassword(QString::fromUtf8(errorBuffer), url);
    if (exchange.tooLarge) {
        detail = QStringLiteral("the answer is larger than %1 bytes").arg(MaximumAnswerBytes);
    } else if (exchange.tooSlow) {
        const HttpTimeouts timeouts = httpTimeouts();
        detail = QStringLiteral("the exchange moved less than %1 bytes a second over %2 seconds")
                     .arg(timeouts.minimumBytesPerSecond)
                     .arg(timeouts.stallSeconds);
    } else if (exchange.resendRefused) {
        detail = QStringLiteral("the connection closed before the answer, and the request is "
                                "not sent again");
    } else if (exchange.answers > MaximumAnswersPerExchange) {
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
                      std::string_view body, Resending resending,
                      system::Cancellation* cancellation) {
    HttpResponse response;
    if (cancellation != nullptr && cancellation->requested()) {
        response.transportError = cancelledText(cancellation->reason());
        return response;
    }
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
    const HttpTimeouts timeouts = httpTimeouts();
    Exchange exchange{&response.body, h, resending,
                      TransferPace(std::chrono::seconds(timeouts.stallSeconds),
                                   timeouts.minimumBytesPerSecond, TransferPace::Clock::now())};
    setWatching(h, exchange, errorBuffer);

    const CURLcode code = perform(h, exchange, cancellation);
    if (code != CURLE_OK) {
        response.transportError = failureText(code, errorBuffer, exchange, url);
        response.answerLost = exchange.requestUnanswered();
        response.body.clear();
        return response;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    response.completed = true;
    return response;
}

} // namespace stowline::http
