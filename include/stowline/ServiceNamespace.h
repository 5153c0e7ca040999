#pragma once

namespace stowline {

// The XML namespace of every operation of the service. It is the xmlns of each request element,
// the base of every SOAPAction and part of the response tags that the client cuts away, so the
// component and the stand-in server must agree on it exactly.
inline constexpr char ServiceNamespace[] = "http://tempuri.org/TOVAStowlines/Service1";

// The endpoint path that follows the server name.
inline constexpr char AsmxPath[] = "/WebServices/TOVAWebservice/TOVAWebservice.asmx";

// The names of the service's operations, the other half of each qualified name in that
// namespace: the request element, the SOAPAction (ServiceNamespace, "/", the name) and a
// query's response and result tags are made of them. One list for the component, the stand-in
// server and a host that posts its own envelopes through ReturnWebserviceXML.
namespace operation_name {
inline constexpr char GetFacilities[] = "GetFacilities";
inline constexpr char GetDeliveryRoute[] = "GetDeliveryRoute";
inline constexpr char GetStorageLocation[] = "GetStorageLocation";
inline constexpr char GetRelativeData[] = "GetRelativeData";
inline constexpr char AddDeliveryRoute[] = "AddDeliveryRoute";
inline constexpr char UpdateDeliveryRoute[] = "UpdateDeliveryRoute";
inline constexpr char DeleteDeliveryRoute[] = "DeleteDeliveryRoute";
inline constexpr char AddStorageLocation[] = "AddStorageLocation";
inline constexpr char UpdateStorageLocation[] = "UpdateStorageLocation";
inline constexpr char DeleteStorageLocation[] = "DeleteStorageLocation";
inline constexpr char UpdateCenterRouteAndStorageLocation[] = "UpdateCenterRouteAndStorageLocation";
} // namespace operation_name

} // namespace stowline
