#include "Operations.h"

#include <stowline/ServiceNamespace.h>

#include <array>

namespace stowline::server {
namespace {

using P = ParameterType;

constexpr std::array<Parameter, 3> AddRouteParameters = {
    {{"FacilityID", P::Short}, {"Route", P::String}, {"Description", P::String}}};
constexpr std::array<Parameter, 4> UpdateRouteParameters = {{{"FacilityID", P::Short},
                                                             {"DeliveryRouteID", P::Short},
                                                             {"Route", P::String},
                                                             {"Description", P::String}}};
constexpr std::array<Parameter, 1> DeleteRouteParameters = {{{"DeliveryRouteID", P::Short}}};
// The storage-location operations carry the facility as text, as their clients send it.
constexpr std::array<Parameter, 3> AddLocationParameters = {
    {{"TOVAFacilityID", P::String}, {"RouteName", P::String}, {"Description", P::String}}};
constexpr std::array<Parameter, 4> UpdateLocationParameters = {{{"StorageLocationID", P::Short},
                                                                {"TOVAFacilityID", P::String},
                                                                {"RouteName", P::String},
                                                                {"Description", P::String}}};
constexpr std::array<Parameter, 1> DeleteLocationParameters = {{{"StorageLocationID", P::Short}}};
constexpr std::array<Parameter, 4> AssignmentParameters = {{{"FacilityID", P::Short},
                                                            {"CenterID", P::Short},
                                                            {"RouteID", P::Short},
                                                            {"StorageLocationID", P::Short}}};

const std::array<Operation, 11> Operations = {{
    {operation_name::GetFacilities, OperationKind::Query, {}, getFacilities},
    {operation_name::GetDeliveryRoute, OperationKind::Query, {}, getDeliveryRoute},
    {operation_name::GetStorageLocation, OperationKind::Query, {}, getStorageLocation},
    {operation_name::GetRelativeData, OperationKind::Query, {}, getRelativeData},
    {operation_name::AddDeliveryRoute, OperationKind::Update, AddRouteParameters, addDeliveryRoute},
    {operation_name::UpdateDeliveryRoute, OperationKind::Update, UpdateRouteParameters,
     updateDeliveryRoute},
    {operation_name::DeleteDeliveryRoute, OperationKind::Update, DeleteRouteParameters,
     deleteDeliveryRoute},
    {operation_name::AddStorageLocation, OperationKind::Update, AddLocationParameters,
     addStorageLocation},
    {operation_name::UpdateStorageLocation, OperationKind::Update, UpdateLocationParameters,
     updateStorageLocation},
    {operation_name::DeleteStorageLocation, OperationKind::Update, DeleteLocationParameters,
     deleteStorageLocation},
    {operation_name::UpdateCenterRouteAndStorageLocation, OperationKind::Update,
     AssignmentParameters, updateCenterRouteAndStorageLocation},
}};

} // namespace

std::span<const Operation> serviceOperations() {
    return Operations;
}

const Operation* findOperation(std::string_view name) {
    for (const Operation& operation : Operations) {
        if (name == operation.name) {
            return &operation;
        }
    }
    return nullptr;
}

} // namespace stowline::server
