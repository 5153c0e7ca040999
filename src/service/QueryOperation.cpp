#include "service/QueryOperation.h"

namespace stowline::service {

QString operationName(QueryOperation operation) {
    switch (operation) {
    case QueryOperation::GetFacilities:
        return QStringLiteral("GetFacilities");
    case QueryOperation::GetRelativeData:
        return QStringLiteral("GetRelativeData");
    case QueryOperation::GetDeliveryRoute:
        return QStringLiteral("GetDeliveryRoute");
    case QueryOperation::GetStorageLocation:
        return QStringLiteral("GetStorageLocation");
    }
    return {};
}

} // namespace stowline::service
