#pragma once

#include "service/Envelope.h"
#include "service/ExchangeOutcome.h"
#include "service/QueryOperation.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace stowline::service {

// The component's conversation with the service: the address fields, the transport, the query
// and the seven update senders, all on the one exchange (SoapExchange.h). It needs no widget, so
// a host can use the transport and the unwrapping without one.
class ServiceClient {
public:
    // Takes the server name exactly as given: mAsmxUrl is the name followed by the endpoint
    // path, mServiceNamespace the SOAPAction base.
    void setServerName(const QString& serverName);

    const QString& serverName() const { return mServerName; }
    const QString& asmxUrl() const { return mAsmxUrl; }
    const QString& serviceNamespace() const { return mServiceNamespace; }

    // Posts one envelope. A query returns the answer without its SOAP envelope tags; an update
    // and every failure return "". Failures are reported under "ReturnWebserviceXML".
    QString ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                const QString& SOAPAction, const QString& SOAPEnvelope,
                                bool UpdateAddDeleteOnly = false);

    // Builds, posts and unwraps one query against the stored addresses: the operation's
    // data-set text, as UTF-8, the form in which the component keeps and reads its answers; ""
    // after a failure, which has been reported.
    QByteArray queryDataSet(QueryOperation operation);

    // The update senders. Each posts one request, at most once, and tells what became of it; a
    // failure is reported once (by the sender, or by the exchange when it failed, the service
    // refused, or the answer was lost).
    ExchangeOutcome AddRouteSOAP(qint16 FacilityID, const QString& Route,
                                 const QString& Description);
    ExchangeOutcome UpdateRouteSOAP(qint16 FacilityID, qint16 DeliveryRouteID, const QString& Route,
                                    const QString& Description);
    ExchangeOutcome DeleteRouteSOAP(qint16 DeliveryRouteID);
    ExchangeOutcome AddLocationSOAP(const QString& FacilityID, const QString& RouteName,
                                    const QString& Description);
    ExchangeOutcome UpdateStorageLocationSOAP(qint16 StorageLocationID, const QString& FacilityID,
                                              const QString& RouteName, const QString& Description);
    ExchangeOutcome DeleteLocationSOAP(qint16 StorageLocationID);
    ExchangeOutcome UpdateCenterRouteAndStorageLocationSOAP(qint16 FacilityID, qint16 CenterID,
                                                            qint16 RouteID,
                                                            qint16 StorageLocationID);

private:
    // The query builder of the operation, reported under its own name ("GetFacilitiesSOAPEnvelope"
    // and so on).
    QString buildQueryEnvelope(const QString& operation);
    ExchangeOutcome sendUpdate(const QString& reportName, const char* operation,
                               std::initializer_list<UpdateChild> children);

    QString mServerName;
    QString mAsmxUrl;
    QString mServiceNamespace;
};

} // namespace stowline::service
