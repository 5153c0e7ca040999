#include "platform/HttpExchange.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace stowline::platform {
namespace {

std::mutex timeoutsMutex;
HttpTimeouts currentTimeouts;

// Answers beyond this size are refused rather than exhausting memory.
constexpr std::size_t MaximumAnswerBytes = std::size_t{512} * 1024 * 1024;

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
    std::string* body;
    bool tooLarge = false;
};

size_t appendBody(char* data, size_t size, size_t count, void* userData) {
    auto* sink = static_cast<Sink*>(userData);
    const size_t bytes = size * count;
    if (sink->body->size() + bytes > MaximumAnswerBytes) {
        sink->tooLarge = true;
        return 0;
    }
    sink->body->append(data, bytes);
    return bytes;
}

bool isAbsoluteHttpUrl(const QString& url) {
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

HttpTimeouts httpTimeouts() {
    std::lock_guard lock(timeoutsMutex);
    return currentTimeouts;
}

void setHttpTimeouts(const HttpTimeouts& timeouts) {
    std::lock_guard lock(timeoutsMutex);
    currentTimeouts = timeouts;
}

HttpResponse httpPost(const QString& url, const std::vector<HttpHeader>& headers,
                      std::string_view body) {
    HttpResponse response;
    if (!isAbsoluteHttpUrl(url)) {
        response.transportError =
            QStringLiteral("The URL is not an absolute http or https URL: \"%1\"").arg(url);
        return response;
    }
    initialiseCurlOnce();
    std::unique_ptr<CURL, CurlEasyDeleter> handle(curl_easy_init());
    if (!handle) {
        response.transportError = QStringLiteral("The HTTP client could not be created");
        return response;
    }

    std::unique_ptr<curl_slist, CurlListDeleter> headerList;
    auto addHeader = [&headerList](const QByteArray& line) {
        curl_slist* extended = curl_slist_append(headerList.get(), line.constData());
        if (extended != nullptr) {
            (void)headerList.release();
            headerList.reset(extended);
        }
    };
    for (const HttpHeader& header : headers) {
        addHeader(header.name + ": " + header.value);
    }
    // An empty value removes the header curl would otherwise add on its own.
    addHeader("Accept:");
    addHeader("Expect:");

    const HttpTimeouts timeouts = httpTimeouts();
    const QByteArray urlBytes = url.toUtf8();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Sink sink{&response.body};
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // The component reads no configuration, proxy variables of the environment included.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectMilliseconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);

    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        QString detail = QString::fromUtf8(errorBuffer);
        if (sink.tooLarge) {
            detail = QStringLiteral("the answer is larger than %1 bytes").arg(MaximumAnswerBytes);
        }
        response.transportError = QString::fromUtf8(curl_easy_strerror(code));
        if (!detail.isEmpty()) {
            response.transportError += QStringLiteral(": ") + detail;
        }
        return response;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    response.completed = true;
    return response;
}

} // namespace stowline::platform
