#pragma once

namespace stowline {

// The XML namespace of every operation of the service. It is the xmlns of each request element,
// the base of every SOAPAction and part of the response tags that the client cuts away, so the
// component and the stand-in server must agree on it exactly.
inline constexpr char ServiceNamespace[] = "http://tempuri.org/TOVAStowlines/Service1";

// The endpoint path that follows the server name.
inline constexpr char AsmxPath[] = "/WebServices/TOVAWebservice/TOVAWebservice.asmx";

} // namespace stowline
