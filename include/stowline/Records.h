#pragma once

#include <stowline/Export.h>

#include <QMetaType>
#include <QObject>
#include <QString>

namespace stowline {

// One delivery route as the service last returned it. Every field is text exactly as sent.
struct STOWLINE_EXPORT RouteUDT {
    Q_GADGET
    Q_PROPERTY(QString Description MEMBER Description)
    Q_PROPERTY(QString Facility MEMBER Facility)
    Q_PROPERTY(QString ID MEMBER ID)
    Q_PROPERTY(QString Route MEMBER Route)
    Q_PROPERTY(QString TOVAFacilityID MEMBER TOVAFacilityID)
public:
    QString Description;
    QString Facility;
    QString ID;
    QString Route;
    QString TOVAFacilityID;

    friend bool operator==(const RouteUDT&, const RouteUDT&) = default;
};

// One storage location (bay). The bay's name is shown in the list but not kept here.
struct STOWLINE_EXPORT StorageLocationUDT {
    Q_GADGET
    Q_PROPERTY(QString Description MEMBER Description)
    Q_PROPERTY(QString ID MEMBER ID)
    Q_PROPERTY(QString Facility MEMBER Facility)
    Q_PROPERTY(QString TOVAFacilityID MEMBER TOVAFacilityID)
public:
    QString Description;
    QString ID;
    QString Facility;
    QString TOVAFacilityID;

    friend bool operator==(const StorageLocationUDT&, const StorageLocationUDT&) = default;
};

// One center with the route and the bay assigned to it.
struct STOWLINE_EXPORT RouteAndLocationsUDT {
    Q_GADGET
    Q_PROPERTY(QString CenterID MEMBER CenterID)
    Q_PROPERTY(QString DeliveryRouteID MEMBER DeliveryRouteID)
    Q_PROPERTY(QString Facility MEMBER Facility)
    Q_PROPERTY(QString Location MEMBER Location)
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(QString Route MEMBER Route)
    Q_PROPERTY(QString RouteDescription MEMBER RouteDescription)
    Q_PROPERTY(QString Status MEMBER Status)
    Q_PROPERTY(QString StorageLocationID MEMBER StorageLocationID)
    Q_PROPERTY(QString TOVAFacilityID MEMBER TOVAFacilityID)
public:
    QString CenterID;
    QString DeliveryRouteID;
    QString Facility;
    QString Location;
    QString Name;
    QString Route;
    QString RouteDescription;
    QString Status;
    QString StorageLocationID;
    QString TOVAFacilityID;

    friend bool operator==(const RouteAndLocationsUDT&, const RouteAndLocationsUDT&) = default;
};

} // namespace stowline

Q_DECLARE_METATYPE(stowline::RouteUDT)
Q_DECLARE_METATYPE(stowline::StorageLocationUDT)
Q_DECLARE_METATYPE(stowline::RouteAndLocationsUDT)
