#include "SoapService.h"

#include "Operations.h"
#include "SoapFault.h"
#include "SoapRequest.h"
#include "SoapResponse.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::server {
namespace {

// The operation a SOAPAction names, or "" when the header says nothing (absent, or the empty
// quoted string some clients send). Throws when it names something outside the service.
std::string operationOfAction(std::optional<std::string_view> soapAction) {
    if (!soapAction) {
        return {};
    }
    std::string_view action = *soapAction;
    while (!action.empty() && action.front() == ' ') {
        action.remove_prefix(1);
    }
    while (!action.empty() && action.back() == ' ') {
        action.remove_suffix(1);
    }
    if (action.size() >= 2 && action.front() == '"' && action.back() == '"') {
        action = action.substr(1, action.size() - 2);
    }
    if (action.empty()) {
        return {};
    }
    const std::string base = std::string(ServiceNamespace) + "/";
    if (!action.starts_with(base) || findOperation(action.substr(base.size())) == nullptr) {
        throw SoapFault("The SOAPAction \"" + std::string(action) +
                        "\" names no operation of this service");
    }
    return std::string(action.substr(base.size()));
}

} // namespace

SoapService::SoapService(ConnectionPool& pool, Log log) : m_pool(pool), m_log(std::move(log)) {}

HttpAnswer SoapService::handle(std::optional<std::string_view> soapAction, std::string_view body) {
    std::string operationName = "request";
    try {
        const SoapRequest request = parseSoapRequest(body);
        operationName = request.operation;
        const std::string named = operationOfAction(soapAction);
        if (!named.empty() && named != request.operation) {
            throw SoapFault("The SOAPAction names " + named + " but the body holds " +
                            request.operation);
        }
        const Operation* operation = findOperation(request.operation);
        if (operation == nullptr) {
            throw SoapFault("The service has no operation " + request.operation);
        }
        ConnectionPool::Lease connection = m_pool.acquire();
        std::string result = operation->handler(*connection, request);
        return {200, operation->kind == OperationKind::Query
                         ? queryResponse(operation->name, std::move(result))
                         : emptyResponse(operation->name)};
    } catch (const NotXml& e) {
        if (m_log) {
            m_log("refused a body that is not XML: " + std::string(e.what()));
        }
        return {400, {}};
    } catch (const SoapFault& e) {
        if (m_log) {
            m_log("refused " + operationName + ": " + e.what());
        }
        const char* code =
            e.code() == SoapFault::Code::VersionMismatch ? "soap:VersionMismatch" : "soap:Client";
        return {500, faultResponse(code, e.what())};
    } catch (const std::exception& e) {
        if (m_log) {
            m_log(operationName + " failed: " + e.what());
        }
        return {500, faultResponse("soap:Server", "The service could not complete " +
                                                      operationName + ": " + e.what())};
    }
}

} // namespace stowline::server
