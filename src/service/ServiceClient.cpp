#include "service/ServiceClient.h"

#include "reporting/Guarded.h"
#include "service/SoapExchange.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::service {

void ServiceClient::setServerName(const QString& serverName) {
    mServerName = serverName;
    mServiceNamespace = QString::fromLatin1(ServiceNamespace) + QLatin1Char('/');
    mAsmxUrl = mServerName + QString::fromLatin1(AsmxPath);
}

QString ServiceClient::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                           const QString& SOAPAction, const QString& SOAPEnvelope,
                                           bool UpdateAddDeleteOnly) {
    const AnswerUse use = UpdateAddDeleteOnly ? AnswerUse::Update : AnswerUse::EnvelopeText;
    return QString::fromUtf8(exchange({AsmxUrl, Host, SOAPAction, SOAPEnvelope, use, {}}).answer);
}

QString ServiceClient::buildQueryEnvelope(const QString& operation) {
    return guarded(operation + QStringLiteral("SOAPEnvelope"), QString(),
                   [&](QString& result) { result = envelopeWith(queryElement(operation)); });
}

QByteArray ServiceClient::queryDataSet(QueryOperation operation) {
    const QString name = operationName(operation);
    return exchange({mAsmxUrl, mServerName, mServiceNamespace + name, buildQueryEnvelope(name),
                     AnswerUse::DataSet, name})
        .answer;
}

ExchangeOutcome ServiceClient::sendUpdate(const QString& reportName, const char* operation,
                                          std::initializer_list<UpdateChild> children) {
    return guarded(reportName, ExchangeOutcome::Failed, [&](ExchangeOutcome& outcome) {
        const QString name = QString::fromLatin1(operation);
        outcome = exchange({mAsmxUrl,
                            mServerName,
                            mServiceNamespace + name,
                            envelopeWith(updateElement(name, children)),
                            AnswerUse::Update,
                            {}})
                      .outcome;
    });
}

ExchangeOutcome ServiceClient::AddRouteSOAP(qint16 FacilityID, const QString& Route,
                                            const QString& Description) {
    return sendUpdate(QStringLiteral("AddRouteSOAP"), operation_name::AddDeliveryRoute,
                      {{"FacilityID", QString::number(FacilityID)},
                       {"Route", Route},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::UpdateRouteSOAP(qint16 FacilityID, qint16 DeliveryRouteID,
                                               const QString& Route, const QString& Description) {
    return sendUpdate(QStringLiteral("UpdateRouteSOAP"), operation_name::UpdateDeliveryRoute,
                      {{"FacilityID", QString::number(FacilityID)},
                       {"DeliveryRouteID", QString::number(DeliveryRouteID)},
                       {"Route", Route},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::DeleteRouteSOAP(qint16 DeliveryRouteID) {
    return sendUpdate(QStringLiteral("DeleteDeliveryRoute"), operation_name::DeleteDeliveryRoute,
                      {{"DeliveryRouteID", QString::number(DeliveryRouteID)}});
}

ExchangeOutcome ServiceClient::AddLocationSOAP(const QString& FacilityID, const QString& RouteName,
                                               const QString& Description) {
    return sendUpdate(
        QStringLiteral("AddLocationSOAP"), operation_name::AddStorageLocation,
        {{"TOVAFacilityID", FacilityID}, {"RouteName", RouteName}, {"Description", Description}});
}

ExchangeOutcome ServiceClient::UpdateStorageLocationSOAP(qint16 StorageLocationID,
                                                         const QString& FacilityID,
                                                         const QString& RouteName,
                                                         const QString& Description) {
    return sendUpdate(QStringLiteral("UpdateStorageLocationSOAP"),
                      operation_name::UpdateStorageLocation,
                      {{"StorageLocationID", QString::number(StorageLocationID)},
                       {"TOVAFacilityID", FacilityID},
                       {"RouteName", RouteName},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::DeleteLocationSOAP(qint16 StorageLocationID) {
    return sendUpdate(QStringLiteral("DeleteStorageLocation"),
                      operation_name::DeleteStorageLocation,
                      {{"StorageLocationID", QString::number(StorageLocationID)}});
}

ExchangeOutcome ServiceClient::UpdateCenterRouteAndStorageLocationSOAP(qint16 FacilityID,
                                                                       qint16 CenterID,
                                                                       qint16 RouteID,
                                                                       qint16 StorageLocationID) {
    return sendUpdate(QStringLiteral("UpdateCenterRouteAndStorageLocationSOAP"),
                      operation_name::UpdateCenterRouteAndStorageLocation,
                      {{"FacilityID", QString::number(FacilityID)},
                       {"CenterID", QString::number(CenterID)},
                       {"RouteID", QString::number(RouteID)},
                       {"StorageLocationID", QString::number(StorageLocationID)}});
}

} // namespace stowline::service
