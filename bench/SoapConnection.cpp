#include "SoapConnection.h"

#include "service/Envelope.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::bench {
namespace {

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t appendTo(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// The operation's response element inside the envelope, or an empty node.
pugi::xml_node responseOf(const pugi::xml_document& envelope, const std::string& operation) {
    return envelope.child("soap:Envelope")
        .child("soap:Body")
        .child((operation + "Response").c_str());
}

} // namespace

SoapConnection::SoapConnection(const std::string& serverName)
    : m_curl(curl_easy_init()), m_url(serverName + AsmxPath) {
    CURL* curl = m_curl.get();
    curl_easy_setopt(curl, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendTo);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 10'000L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
}

SoapAnswer SoapConnection::post(const std::string& operation, const std::string& envelope) {
    CURL* curl = m_curl.get();
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const std::string& line :
         {std::string("Content-Type: text/xml; charset=utf-8"),
          "SOAPAction: " + std::string(ServiceNamespace) + "/" + operation,
          std::string("Expect:")}) {
        if (curl_slist* extended = curl_slist_append(headers.get(), line.c_str())) {
            (void)headers.release();
            headers.reset(extended);
        }
    }
    SoapAnswer answer;
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, envelope.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(envelope.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.text);
    const CURLcode code = curl_easy_perform(curl);
    long connects = 0;
    curl_off_t connectTime = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
    answer.connected = connects > 0;
    answer.connectMicroseconds = static_cast<long>(connectTime);
    if (code != CURLE_OK) {
        answer.text = operation + ": " + curl_easy_strerror(code);
        return answer;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        answer.text = operation + ": HTTP " + std::to_string(status) + " " + answer.text;
        return answer;
    }
    answer.accepted = true;
    return answer;
}

std::string queryEnvelope(const std::string& operation) {
    return service::envelopeWith(service::queryElement(QString::fromStdString(operation)))
        .toStdString();
}

std::string forEachRow(const std::string& answer, const std::string& operation,
                       const std::function<void(const pugi::xml_node& row)>& visit) {
    pugi::xml_document envelope;
    if (!envelope.load_buffer(answer.data(), answer.size())) {
        return operation + ": the answer is not XML";
    }
    const pugi::xml_node result =
        responseOf(envelope, operation).child((operation + "Result").c_str());
    if (!result) {
        return operation + ": the answer has no " + operation + "Result";
    }
    pugi::xml_document dataSet;
    if (!dataSet.load_string(result.text().get())) {
        return operation + ": the result is not a data set";
    }
    const pugi::xml_node tables =
        dataSet.child("Root").child("DataSet").child("diffgr:diffgram").child("NewDataSet");
    for (const pugi::xml_node& row : tables.children("Table")) {
        visit(row);
    }
    return {};
}

std::string checkEmptyResponse(const std::string& answer, const std::string& operation) {
    pugi::xml_document envelope;
    if (!envelope.load_buffer(answer.data(), answer.size())) {
        return operation + ": the answer is not XML";
    }
    const pugi::xml_node response = responseOf(envelope, operation);
    if (!response || response.first_child()) {
        return operation + ": the answer is not an empty " + operation + "Response";
    }
    return {};
}

} // namespace stowline::bench
