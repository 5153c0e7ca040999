#include "controls/SystemColours.h"
#include "controls/UiText.h"
#include "reporting/Guarded.h"
#include "state/KeyConversions.h"
#include "surface/Accessibility.h"
#include "widget/StowlinePrivate.h"

#include <stowline/Version.h>

namespace stowline {

QString versionText() {
    return controls::UiText::tr("Version Number: %1.%2.%3")
        .arg(STOWLINE_VERSION_MAJOR)
        .arg(STOWLINE_VERSION_MINOR)
        .arg(STOWLINE_VERSION_PATCH);
}

void StowlinePrivate::UserControl_Initialize() {
    guarded(QStringLiteral("UserControl_Initialize()"), [&] {
        using controls::UiText;
        surface::ControlSurface& ui = state.ui;

        // The first columns follow the lists' widths as they are at creation.
        double width = state::toInt16(qint64{ui.lstRoute->widthTwips()});
        ui.lstRoute->addColumn(UiText::tr("Route"), qRound(width / 4));
        ui.lstRoute->addColumn(UiText::tr("Description"), 3500);
        ui.lstRoute->addColumn(UiText::tr("Facility"), 3500);

        width = state::toInt16(qint64{ui.lstLocation->widthTwips()});
        ui.lstLocation->addColumn(UiText::tr("Storage Bay Name"), qRound(width / 4));
        ui.lstLocation->addColumn(UiText::tr("Description"), 3500);
        ui.lstLocation->addColumn(UiText::tr("Facility"), 3500);
        ui.lstLocation->addColumn(QString(), 0);

        width = state::toInt16(qint64{ui.lstStowline->widthTwips()});
        ui.lstStowline->addColumn(UiText::tr("Center ID"), qRound(width / 16));
        ui.lstStowline->addColumn(UiText::tr("Center Name"), 3000);
        ui.lstStowline->addColumn(UiText::tr("Route"), 2500);
        ui.lstStowline->addColumn(UiText::tr("Location"), 2000);
        ui.lstStowline->addColumn(UiText::tr("Facility"), 1250);
        // The hidden key columns are never shown, so their headers are not offered for
        // translation.
        ui.lstStowline->addColumn(QStringLiteral("FacilityID"), 0);
        ui.lstStowline->addColumn(QStringLiteral("Route"), 0);
        ui.lstStowline->addColumn(QStringLiteral("RouteID"), 0);

        for (QLabel* label : ui.lblversion) {
            label->setText(versionText());
        }

        for (controls::TextBox* box :
             {ui.txtRoute, ui.txtRouteDesc, ui.txtLocationID, ui.txtLocationDesc}) {
            box->setLocked(true);
            box->setBackColour(controls::buttonFaceColour());
        }

        for (QFrame* frame : {ui.fraRouteList, ui.fraLocationList, ui.fraStowlineList}) {
            frame->setEnabled(false);
        }

        surface::makeAccessible(ui);
    });
}

} // namespace stowline
