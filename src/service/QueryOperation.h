#pragma once

#include <QString>

namespace stowline::service {

// The four queries of the service, each with its envelope builder's and unwrapper's name.
enum class QueryOperation { GetFacilities, GetRelativeData, GetDeliveryRoute, GetStorageLocation };

QString operationName(QueryOperation operation);

} // namespace stowline::service
