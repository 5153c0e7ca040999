#include <stowline/Stowline.h>

#include "answer/Unwrapping.h"
#include "failures/StowlineError.h"
#include "pages/ListCommands.h"
#include "pages/ListFilter.h"
#include "reporting/LogError.h"
#include "surface/CaptionFit.h"
#include "system/EventLogWriter.h"
#include "widget/StowlinePrivate.h"

#include <QEvent>

namespace stowline {
namespace {

void registerRecordTypes() {
    qRegisterMetaType<RouteUDT>();
    qRegisterMetaType<StorageLocationUDT>();
    qRegisterMetaType<RouteAndLocationsUDT>();
}

// What a component deleted during one of its actions leaves for the action to end on: its state
// and its widgets, out of the host's window and hidden. The state lets go of the widgets before
// they go, as in the component's own destruction.
class Remains : public QWidget {
public:
    explicit Remains(std::unique_ptr<StowlinePrivate> parts) : m_parts(std::move(parts)) {}
    ~Remains() override { m_parts.reset(); }
    Remains(const Remains&) = delete;
    Remains& operator=(const Remains&) = delete;

private:
    std::unique_ptr<StowlinePrivate> m_parts;
};

} // namespace

StowlinePrivate::StowlinePrivate(QWidget* owner)
    : actions(owner), state(surface::buildControlSurface(owner)), routePage(state),
      locationPage(state), assignmentPage(state) {
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

bool StowlinePrivate::refusedInsideAction(const QString& method) const {
    if (!actions.running()) {
        return false;
    }
    system::writeEventLog(errorLogEntry(
        {0,
         method + QStringLiteral(" was called while the component was busy with another action "
                                 "(an exchange with the service or one of its message boxes); "
                                 "the call was refused and did nothing"),
         QString::fromLatin1(ProjectName)},
        method));
    return true;
}

// The host may delete the component at any moment, also from a timer that runs while one of
// its actions waits for the service or for the operator's answer to a box. The action's frames
// then still use its state and its widgets, and so do Qt's own (a button in the middle of its
// click): those stay, out of sight, until the action has ended; its loops end at once, and the
// rest of it shows and sends nothing.
Stowline::~Stowline() {
    if (!d->actions.running()) {
        return;
    }
    controls::ComponentActions& actions = d->actions;
    auto remains = std::make_unique<Remains>(std::move(d));
    const QObjectList children = QObject::children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        // A window the component opened over itself (a message box) closes with it.
        if (widget == nullptr) {
            child->setParent(remains.get());
        } else if (!widget->isWindow()) {
            widget->setParent(remains.get());
        }
    }
    actions.componentDeleted(std::move(remains));
}

QSize Stowline::sizeHint() const {
    return {surface::twips(10320), surface::twips(6600)};
}

QString Stowline::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host,
                                      const QString& SOAPAction, const QString& SOAPEnvelope,
                                      bool UpdateAddDeleteOnly) {
    if (d->refusedInsideAction(QStringLiteral("ReturnWebserviceXML"))) {
        return QString();
    }
    const controls::ActionScope action(d->actions);
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
    if (d->refusedInsideAction(QStringLiteral("LoadData"))) {
        return;
    }
    const controls::ActionScope action(d->actions);
    d->LoadData(ptServerName);
}

void Stowline::SaveData() {}

} // namespace stowline
