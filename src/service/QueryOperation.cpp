#include "service/QueryOperation.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::service {

QString operationName(QueryOperation operation) {
    switch (operation) {
    case QueryOperation::GetFacilities:
        return QString::fromLatin1(operation_name::GetFacilities);
    case QueryOperation::GetRelativeData:
        return QString::fromLatin1(operation_name::GetRelativeData);
    case QueryOperation::GetDeliveryRoute:
        return QString::fromLatin1(operation_name::GetDeliveryRoute);
    case QueryOperation::GetStorageLocation:
        return QString::fromLatin1(operation_name::GetStorageLocation);
    }
    return {};
}

} // namespace stowline::service
