#include "control/Accessibility.h"
#include "control/StowlinePrivate.h"
#include "errors/Guarded.h"
#include "platform/SystemColours.h"
#include "records/Conversions.h"

namespace stowline {

QString versionText() {
    return QStringLiteral("Version Number: %1.%2.%3")
        .arg(STOWLINE_VERSION_MAJOR)
        .arg(STOWLINE_VERSION_MINOR)
        .arg(STOWLINE_VERSION_PATCH);
}

void StowlinePrivate::UserControl_Initialize() {
    guarded(QStringLiteral("UserControl_Initialize()"), [&] {
        control::ControlSurface& ui = state.ui;

        // The first columns follow the lists' widths as they are at creation.
        double width = records::toInt16(qint64{ui.lstRoute->widthTwips()});
        ui.lstRoute->addColumn(QStringLiteral("Route"), qRound(width / 4));
        ui.lstRoute->addColumn(QStringLiteral("Description"), 3500);
        ui.lstRoute->addColumn(QStringLiteral("Facility"), 3500);

        width = records::toInt16(qint64{ui.lstLocation->widthTwips()});
        ui.lstLocation->addColumn(QStringLiteral("Storage Bay Name"), qRound(width / 4));
        ui.lstLocation->addColumn(QStringLiteral("Description"), 3500);
        ui.lstLocation->addColumn(QStringLiteral("Facility"), 3500);
        ui.lstLocation->addColumn(QString(), 0);

        width = records::toInt16(qint64{ui.lstStowline->widthTwips()});
        ui.lstStowline->addColumn(QStringLiteral("Center ID"), qRound(width / 16));
        ui.lstStowline->addColumn(QStringLiteral("Center Name"), 3000);
        ui.lstStowline->addColumn(QStringLiteral("Route"), 2500);
        ui.lstStowline->addColumn(QStringLiteral("Location"), 2000);
        ui.lstStowline->addColumn(QStringLiteral("Facility"), 1250);
        ui.lstStowline->addColumn(QStringLiteral("FacilityID"), 0);
        ui.lstStowline->addColumn(QStringLiteral("Route"), 0);
        ui.lstStowline->addColumn(QStringLiteral("RouteID"), 0);

        for (QLabel* label : ui.lblversion) {
            label->setText(versionText());
            control::fitLabelWidth(*label);
        }

        for (platform::TextBox* box :
             {ui.txtRoute, ui.txtRouteDesc, ui.txtLocationID, ui.txtLocationDesc}) {
            box->setLocked(true);
            box->setBackColour(platform::buttonFaceColour());
        }

        for (QFrame* frame : {ui.fraRouteList, ui.fraLocationList, ui.fraStowlineList}) {
            frame->setEnabled(false);
        }

        control::makeAccessible(ui);
    });
}

} // namespace stowline
