#pragma once

// A small operation as a loopback service answers it, for tests that need the component loaded
// but no stand-in server process: one facility, two routes, one bay, one center.
#include "support/DataSetText.h"
#include "support/RecordingHttpServer.h"

namespace stowline::test {

// The answer to one query, as the service writes it.
inline ServerBehaviour smallOperationAnswer(const QByteArray& operation) {
    const auto row = [](const char* names, const char* values) {
        return cells(QString::fromLatin1(names).split(u','),
                     QString::fromLatin1(values).split(u','));
    };
    constexpr const char* Routes = "DeliveryRouteID,Route,Description,Facility,TOVAFacilityID";
    std::vector<Row> rows;
    if (operation == "GetFacilities") {
        rows = {facility(QStringLiteral("1"), QStringLiteral("North"))};
    } else if (operation == "GetRelativeData") {
        rows = {row("CenterID,CenterName,Status,TOVAFacilityID", "101,Alpha Center,2,1")};
    } else if (operation == "GetDeliveryRoute") {
        rows = {row(Routes, "1,A1,Alpha route,North,1"), row(Routes, "2,B2,Beta route,North,1")};
    } else {
        rows = {row("StorageLocationID,RouteName,Description,Facility,TOVAFacilityID",
                    "5,Q-01,Bay 5,North,1")};
    }
    return ServerBehaviour::respond(200, serviceAnswer(operation, rows));
}

// The operations LoadData asks for, in its order.
inline const QByteArray LoadOperations[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                            "GetStorageLocation"};

// Queues the answers of one LoadData, the first of them after the given time.
inline void queueLoad(RecordingHttpServer& server,
                      std::chrono::milliseconds firstAfter = std::chrono::milliseconds(0)) {
    for (const QByteArray& operation : LoadOperations) {
        server.queueBehaviour(smallOperationAnswer(operation).after(
            &operation == &LoadOperations[0] ? firstAfter : std::chrono::milliseconds(0)));
    }
}

// The operations of the requests the server received, in order.
inline QByteArrayList operationsReceived(const RecordingHttpServer& server) {
    QByteArrayList operations;
    for (const RecordedRequest& request : server.requests()) {
        operations << request.header("SOAPAction").split('/').last();
    }
    return operations;
}

} // namespace stowline::test
