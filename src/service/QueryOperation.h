#pragma once

#include <QString>

namespace stowline::service {

// The four queries of the service, each with its envelope builder's and unwrapper's name.
enum class QueryOperation { GetFacilities, GetRelativeData, GetDeliveryRoute, GetStorageLocation };

QString operationName(QueryOperation operation);

// The operation's Replace...SOAPTags function applied to a transport result.
QString unwrapQueryAnswer(QueryOperation operation, QString answer);

} // namespace stowline::service
