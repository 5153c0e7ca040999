#include "service/QueryOperation.h"

#include "service/Unwrapping.h"

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

QString unwrapQueryAnswer(QueryOperation operation, QString answer) {
    switch (operation) {
    case QueryOperation::GetFacilities:
        return ReplaceGetFacilitiesSOAPTags(std::move(answer));
    case QueryOperation::GetRelativeData:
        return ReplaceGetRelativeDataSOAPTags(std::move(answer));
    case QueryOperation::GetDeliveryRoute:
        return ReplaceGetDeliveryRouteSOAPTags(std::move(answer));
    case QueryOperation::GetStorageLocation:
        return ReplaceGetStorageLocationSOAPTags(std::move(answer));
    }
    return {};
}

} // namespace stowline::service
