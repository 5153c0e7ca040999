#include <stowline/Stowline.h>

#include "answer/Unwrapping.h"
#include "pages/ListCommands.h"
#include "pages/ListFilter.h"
#include "surface/CaptionFit.h"
#include "widget/StowlinePrivate.h"

#include <QEvent>

namespace stowline {
namespace {

void registerRecordTypes() {
    qRegisterMetaType<RouteUDT>();
    qRegisterMetaType<StorageLocationUDT>();
    qRegisterMetaType<RouteAndLocationsUDT>();
}

} // namespace

StowlinePrivate::StowlinePrivate(QWidget* owner)
    : state(surface::buildControlSurface(owner)), routePage(state), locationPage(state),
      assignmentPage(state) {
    for (controls::ListView* list :
         {state.ui.lstRoute, state.ui.lstLocation, state.ui.lstStowline}) {
        pages::installListCommands(*list);
    }
    const surface::ControlSurface& ui = state.ui;
    pages::installListFilter(*ui.lstRoute, *ui.txtRouteFilter, *ui.lblRouteFilterCount);
    pages::installListFilter(*ui.lstLocation, *ui.txtLocationFilter, *ui.lblLocationFilterCount);
    pages::installListFilter(*ui.lstStowline, *ui.txtCenterFilter, *ui.lblCenterFilterCount);
    pages::installFindShortcut(*owner, *ui.SSTab1,
                               {ui.txtRouteFilter, ui.txtLocationFilter, ui.txtCenterFilter});
}

Stowline::Stowline(QWidget* parent) : QWidget(parent) {
    registerRecordTypes();
    setObjectName(QStringLiteral("Stowline"));
    setFixedSize(sizeHint());
    d = std::make_unique<StowlinePrivate>(this);
    d->UserControl_Initialize();
    surface::fitCaptions(d->state.ui);
}

void Stowline::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A font the host sets reaches the text boxes, drop-downs, options and version labels.
    if (d && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
        surface::fitCaptions(d->state.ui);
    }
}

Stowline::~Stowline() = default;

QSize Stowline::sizeHint() const {
    return {surface::twips(10320), surface::twips(6600)};
}

QString Stowline::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                      const QString& SOAPAction, const QString& SOAPEnvelope,
                                      bool UpdateAddDeleteOnly) {
    return d->state.client.ReturnWebserviceXML(AsmxUrl, Host, SOAPAction, SOAPEnvelope,
                                               UpdateAddDeleteOnly);
}

QString Stowline::ReplaceGetDeliveryRouteSOAPTags(const QString& XMLData) {
    return answer::ReplaceGetDeliveryRouteSOAPTags(XMLData);
}

QString Stowline::ReplaceGetFacilitiesSOAPTags(const QString& XMLData) {
    return answer::ReplaceGetFacilitiesSOAPTags(XMLData);
}

QString Stowline::ReplaceGetRelativeDataSOAPTags(const QString& XMLData) {
    return answer::ReplaceGetRelativeDataSOAPTags(XMLData);
}

QString Stowline::ReplaceGetStorageLocationSOAPTags(const QString& XMLData) {
    return answer::ReplaceGetStorageLocationSOAPTags(XMLData);
}

void Stowline::LoadData(const QString& ptServerName) {
    d->LoadData(ptServerName);
}

void Stowline::SaveData() {}

} // namespace stowline
