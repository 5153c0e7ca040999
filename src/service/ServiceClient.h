#pragma once

#include "service/Envelope.h"
#include "service/QueryOperation.h"

#include <QString>
#include <QtGlobal>

namespace stowline::service {

// The component's conversation with the service: the address fields, the transport, the four
// query builders and the seven update senders. It needs no widget, so a host can use the
// transport and the unwrapping without one.
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

    QString GetDeliveryRouteSOAPEnvelope();
    QString GetFacilitiesSOAPEnvelope();
    QString GetRelativeDataSOAPEnvelope();
    QString GetStorageLocationSOAPEnvelope();
    QString queryEnvelope(QueryOperation operation);

    // Builds, posts and unwraps one query against the stored addresses.
    QString query(QueryOperation operation);
    // The same, as UTF-8: the component keeps and reads its answers in this form.
    QByteArray queryUtf8(QueryOperation operation);

    // The update senders. Each posts one request and tells whether the service accepted it; a
    // failure is reported once (by the sender, or by the transport when the exchange failed or
    // the service refused).
    bool AddRouteSOAP(qint16 FacilityID, const QString& Route, const QString& Description);
    bool UpdateRouteSOAP(qint16 FacilityID, qint16 DeliveryRouteID, const QString& Route,
                         const QString& Description);
    bool DeleteRouteSOAP(qint16 DeliveryRouteID);
    bool AddLocationSOAP(const QString& FacilityID, const QString& RouteName,
                         const QString& Description);
    bool UpdateStorageLocationSOAP(qint16 StorageLocationID, const QString& FacilityID,
                                   const QString& RouteName, const QString& Description);
    bool DeleteLocationSOAP(qint16 StorageLocationID);
    bool UpdateCenterRouteAndStorageLocationSOAP(qint16 FacilityID, qint16 CenterID, qint16 RouteID,
                                                 qint16 StorageLocationID);

private:
    // The transport with its outcome: false when the failure was reported.
    bool post(const QString& AsmxUrl, const QString& SOAPAction, const QString& SOAPEnvelope,
              bool update, QByteArray& answer);
    QString buildQueryEnvelope(QueryOperation operation);
    bool sendUpdate(const QString& reportName, const QString& operation,
                    std::initializer_list<UpdateChild> children);

    QString mServerName;
    QString mAsmxUrl;
    QString mServiceNamespace;
};

} // namespace stowline::service
