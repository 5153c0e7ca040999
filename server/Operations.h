#pragma once

#include "SoapRequest.h"
#include "Sqlite.h"

#include <span>
#include <string>
#include <string_view>

namespace stowline::server {

// How a parameter is declared in the service description.
enum class ParameterType { Short, String };

struct Parameter {
    const char* name;
    ParameterType type;
};

// A query answers with data-set text; an update changes data and answers with nothing.
enum class OperationKind { Query, Update };

using OperationHandler = std::string (*)(Connection&, const SoapRequest&);

struct Operation {
    const char* name;
    OperationKind kind;
    std::span<const Parameter> parameters;
    OperationHandler handler;
};

// Every operation of the service, queries first, in the order the service description lists
// them.
std::span<const Operation> serviceOperations();

// The operation of that name, or nullptr.
const Operation* findOperation(std::string_view name);

// The handlers. Queries return the data-set text as it stands inside the result element
// (escaped once more); updates validate the request, apply it in
// one transaction and return "". Bad requests throw SoapFault.
std::string getFacilities(Connection& connection, const SoapRequest& request);
std::string getDeliveryRoute(Connection& connection, const SoapRequest& request);
std::string getStorageLocation(Connection& connection, const SoapRequest& request);
std::string getRelativeData(Connection& connection, const SoapRequest& request);

std::string addDeliveryRoute(Connection& connection, const SoapRequest& request);
std::string updateDeliveryRoute(Connection& connection, const SoapRequest& request);
std::string deleteDeliveryRoute(Connection& connection, const SoapRequest& request);

std::string addStorageLocation(Connection& connection, const SoapRequest& request);
std::string updateStorageLocation(Connection& connection, const SoapRequest& request);
std::string deleteStorageLocation(Connection& connection, const SoapRequest& request);

std::string updateCenterRouteAndStorageLocation(Connection& connection, const SoapRequest& request);

} // namespace stowline::server
