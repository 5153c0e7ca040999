#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "system/FreedMemory.h"
#include "system/OrderedWorker.h"
#include "widget/StowlinePrivate.h"

#include <span>

namespace stowline {

void StowlinePrivate::LoadData(const QString& ptServerName) {
    guarded(QStringLiteral("LoadData"), [&] {
        using service::QueryOperation;
        state.client.setServerName(ptServerName);

        // One query after the other, each to completion; a failed one is reported before the
        // next goes out and gives empty text, and the load goes on. Each answer is read on a
        // second thread while the next query runs; the lists are filled here, afterwards.
        system::OrderedWorker reader;
        const auto query = [&](QueryOperation operation, std::span<const char* const> columns) {
            return readers::DataSetInput::readOn(reader, state.client.queryDataSet(operation),
                                                 columns);
        };
        readers::DataSetInput facilities =
            query(QueryOperation::GetFacilities, readers::FacilityColumns);
        readers::DataSetInput centers =
            query(QueryOperation::GetRelativeData, readers::CenterColumns);
        readers::DataSetInput routes =
            query(QueryOperation::GetDeliveryRoute, readers::RouteColumns);
        readers::DataSetInput bays =
            query(QueryOperation::GetStorageLocation, readers::LocationColumns);

        // The readers in their own order, each reporting what its read found.
        readers::RefreshRouteData(state, std::move(routes));
        readers::RefreshLocationData(state, std::move(bays));
        // The centers as the assignment page's option says: a reload with "All" chosen lists
        // all of them.
        readers::RefreshStowlineData(state, std::move(centers), state.activeCentersOnly());
        readers::RefreshFacilityDrop(state, std::move(facilities));
        system::returnFreedMemorySoon();

        const surface::ControlSurface& ui = state.ui;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 ui.cmdAddRoute, ui.cmdChangeRoute, ui.cmdDeleteRoute, ui.cmdAddLocation,
                 ui.cmdChangeLocation, ui.cmdDeleteLocation, ui.fraRouteList, ui.fraLocationList,
                 ui.fraStowlineList}) {
            control->setEnabled(true);
        }
    });
}

} // namespace stowline
