#include "service/ServiceClient.h"

#include "answer/DataSetCheck.h"
#include "answer/DataSetCut.h"
#include "answer/TextReplace.h"
#include "answer/Unwrapping.h"
#include "reporting/Guarded.h"
#include "service/SoapExchange.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::service {

void ServiceClient::setServerName(const QString& serverName) {
    mServerName = serverName;
    mServiceNamespace = QString::fromLatin1(ServiceNamespace) + QLatin1Char('/');
    mAsmxUrl = mServerName + QString::fromLatin1(AsmxPath);
}

ExchangeOutcome ServiceClient::post(const QString& AsmxUrl, const QString& Host,
                                    const QString& SOAPAction, const QString& SOAPEnvelope,
                                    bool update, QByteArray& answer) {
    ExchangeOutcome outcome = ExchangeOutcome::Failed;
    answer = guarded(QStringLiteral("ReturnWebserviceXML"), QByteArray(), [&](QByteArray& result) {
        result = exchangeSoap(AsmxUrl, Host, SOAPAction, SOAPEnvelope, update, outcome);
    });
    return outcome;
}

QString ServiceClient::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                           const QString& SOAPAction, const QString& SOAPEnvelope,
                                           bool UpdateAddDeleteOnly) {
    // The Host header is derived from the URL by the HTTP client: a server name with its
    // scheme is not a valid Host value. The argument is only checked.
    QByteArray answer;
    post(AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly, answer);
    return QString::fromUtf8(answer);
}

QString ServiceClient::buildQueryEnvelope(QueryOperation operation) {
    const QString name = operationName(operation);
    return guarded(name + QStringLiteral("SOAPEnvelope"), QString(), [&](QString& result) {
        result = replaceAll(GetSOAPEnvelope(), u"XMLData", queryElement(name));
    });
}

QString ServiceClient::GetDeliveryRouteSOAPEnvelope() {
    return buildQueryEnvelope(QueryOperation::GetDeliveryRoute);
}

QString ServiceClient::GetFacilitiesSOAPEnvelope() {
    return buildQueryEnvelope(QueryOperation::GetFacilities);
}

QString ServiceClient::GetRelativeDataSOAPEnvelope() {
    return buildQueryEnvelope(QueryOperation::GetRelativeData);
}

QString ServiceClient::GetStorageLocationSOAPEnvelope() {
    return buildQueryEnvelope(QueryOperation::GetStorageLocation);
}

QString ServiceClient::queryEnvelope(QueryOperation operation) {
    return buildQueryEnvelope(operation);
}

QString ServiceClient::query(QueryOperation operation) {
    return QString::fromUtf8(queryUtf8(operation));
}

QByteArray ServiceClient::queryUtf8(QueryOperation operation) {
    const QString name = operationName(operation);
    const QString envelope = buildQueryEnvelope(operation);
    ExchangeOutcome outcome = ExchangeOutcome::Failed;
    QByteArray answer =
        guarded(QStringLiteral("ReturnWebserviceXML"), QByteArray(), [&](QByteArray& result) {
            result = postQuery(mAsmxUrl, mServerName, mServiceNamespace + name, envelope, outcome);
        });
    if (outcome != ExchangeOutcome::Answered) {
        return QByteArray();
    }
    // Reported as the query's failure: its reader then sees what a failed query gives it.
    return guarded(QStringLiteral("ReturnWebserviceXML"), QByteArray(), [&](QByteArray& result) {
        // The answer as the service writes it is cut in one pass; any other takes the way a
        // host's call of ReturnWebserviceXML and the operation's unwrapping takes.
        if (!answer::cutDataSetInPlace(answer, name)) {
            answer =
                answer::ReplaceOperationSOAPTags(name, cleanedAnswer(std::move(answer), mAsmxUrl));
        }
        answer::requireDataSet(answer);
        result = std::move(answer);
    });
}

ExchangeOutcome ServiceClient::sendUpdate(const QString& reportName, const QString& operation,
                                          std::initializer_list<UpdateChild> children) {
    return guarded(reportName, ExchangeOutcome::Failed, [&](ExchangeOutcome& outcome) {
        const QString envelope =
            replaceAll(GetSOAPEnvelope(), u"XMLData", updateElement(operation, children));
        QByteArray ignored;
        outcome =
            post(mAsmxUrl, mServerName, mServiceNamespace + operation, envelope, true, ignored);
    });
}

ExchangeOutcome ServiceClient::AddRouteSOAP(qint16 FacilityID, const QString& Route,
                                            const QString& Description) {
    return sendUpdate(QStringLiteral("AddRouteSOAP"),
                      QString::fromLatin1(operation_name::AddDeliveryRoute),
                      {{"FacilityID", QString::number(FacilityID)},
                       {"Route", Route},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::UpdateRouteSOAP(qint16 FacilityID, qint16 DeliveryRouteID,
                                               const QString& Route, const QString& Description) {
    return sendUpdate(QStringLiteral("UpdateRouteSOAP"),
                      QString::fromLatin1(operation_name::UpdateDeliveryRoute),
                      {{"FacilityID", QString::number(FacilityID)},
                       {"DeliveryRouteID", QString::number(DeliveryRouteID)},
                       {"Route", Route},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::DeleteRouteSOAP(qint16 DeliveryRouteID) {
    return sendUpdate(QStringLiteral("DeleteDeliveryRoute"),
                      QString::fromLatin1(operation_name::DeleteDeliveryRoute),
                      {{"DeliveryRouteID", QString::number(DeliveryRouteID)}});
}

ExchangeOutcome ServiceClient::AddLocationSOAP(const QString& FacilityID, const QString& RouteName,
                                               const QString& Description) {
    return sendUpdate(
        QStringLiteral("AddLocationSOAP"), QString::fromLatin1(operation_name::AddStorageLocation),
        {{"TOVAFacilityID", FacilityID}, {"RouteName", RouteName}, {"Description", Description}});
}

ExchangeOutcome ServiceClient::UpdateStorageLocationSOAP(qint16 StorageLocationID,
                                                         const QString& FacilityID,
                                                         const QString& RouteName,
                                                         const QString& Description) {
    return sendUpdate(QStringLiteral("UpdateStorageLocationSOAP"),
                      QString::fromLatin1(operation_name::UpdateStorageLocation),
                      {{"StorageLocationID", QString::number(StorageLocationID)},
                       {"TOVAFacilityID", FacilityID},
                       {"RouteName", RouteName},
                       {"Description", Description}});
}

ExchangeOutcome ServiceClient::DeleteLocationSOAP(qint16 StorageLocationID) {
    return sendUpdate(QStringLiteral("DeleteStorageLocation"),
                      QString::fromLatin1(operation_name::DeleteStorageLocation),
                      {{"StorageLocationID", QString::number(StorageLocationID)}});
}

ExchangeOutcome ServiceClient::UpdateCenterRouteAndStorageLocationSOAP(qint16 FacilityID,
                                                                       qint16 CenterID,
                                                                       qint16 RouteID,
                                                                       qint16 StorageLocationID) {
    return sendUpdate(QStringLiteral("UpdateCenterRouteAndStorageLocationSOAP"),
                      QString::fromLatin1(operation_name::UpdateCenterRouteAndStorageLocation),
                      {{"FacilityID", QString::number(FacilityID)},
                       {"CenterID", QString::number(CenterID)},
                       {"RouteID", QString::number(RouteID)},
                       {"StorageLocationID", QString::number(StorageLocationID)}});
}

} // namespace stowline::service
