#include "HandWrittenClient.h"

#include "SoapConnection.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstring>

namespace stowline::bench {
namespace {

QStringList cellsOf(const pugi::xml_node& row, std::initializer_list<const char*> columns) {
    QStringList cells;
    cells.reserve(static_cast<qsizetype>(columns.size()));
    for (const char* column : columns) {
        cells.append(QString::fromUtf8(row.child(column).text().get()));
    }
    return cells;
}

QTreeWidget* newList(const char* name, const QStringList& captions) {
    auto* list = new QTreeWidget;
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(captions);
    list->header()->setSortIndicator(0, Qt::AscendingOrder);
    return list;
}

QComboBox* newFacilityBox(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QWidget* newPage(QComboBox* facilityBox, QTreeWidget* list) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(facilityBox);
    layout->addWidget(list);
    return page;
}

void fillList(QTreeWidget& list, const std::vector<QStringList>& rows) {
    // Sorting stays off while filling, so that the rows are sorted once, at the end.
    list.setSortingEnabled(false);
    list.clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const QStringList& row : rows) {
        items.append(new QTreeWidgetItem(row));
    }
    list.addTopLevelItems(items);
    list.setSortingEnabled(true);
}

} // namespace

HandWrittenClient::HandWrittenClient(QWidget* parent)
    : QWidget(parent),
      m_routeList(newList("lstRoute", {QStringLiteral("Route"), QStringLiteral("Description"),
                                       QStringLiteral("Facility")})),
      m_bayList(
          newList("lstLocation", {QStringLiteral("Storage Bay Name"), QStringLiteral("Description"),
                                  QStringLiteral("Facility")})),
      m_centerList(
          newList("lstStowline", {QStringLiteral("Center ID"), QStringLiteral("Center Name"),
                                  QStringLiteral("Route"), QStringLiteral("Location"),
                                  QStringLiteral("Facility"), QStringLiteral("FacilityID"),
                                  QStringLiteral("Route"), QStringLiteral("RouteID")})),
      m_facilityBoxes{newFacilityBox("cboFacility3"), newFacilityBox("cboFacility"),
                      newFacilityBox("cboFacility2")} {
    // The keys behind the shown columns, as the component keeps them.
    for (int column = 5; column < 8; ++column) {
        m_centerList->setColumnHidden(column, true);
    }
    auto* tabs = new QTabWidget(this);
    tabs->addTab(newPage(m_facilityBoxes[0], m_routeList), QStringLiteral("Routes"));
    tabs->addTab(newPage(m_facilityBoxes[1], m_bayList), QStringLiteral("Storage Bays"));
    tabs->addTab(newPage(m_facilityBoxes[2], m_centerList), QStringLiteral("Centers"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    // The component's size, and the page it opens on.
    tabs->setCurrentIndex(1);
    setFixedSize(688, 440);
}

std::string HandWrittenClient::load(const std::string& serverName) {
    SoapConnection connection(serverName);
    std::string problem;
    const auto readRows = [&](const char* operation,
                              const std::function<void(const pugi::xml_node&)>& visit) {
        if (!problem.empty()) {
            return;
        }
        const SoapAnswer answer = connection.post(operation, queryEnvelope(operation));
        problem = answer.accepted ? forEachRow(answer.text, operation, visit) : answer.text;
    };

    m_facilities.clear();
    m_centers.clear();
    m_routes.clear();
    m_bays.clear();
    readRows("GetFacilities", [&](const pugi::xml_node& row) {
        m_facilities.push_back({QString::fromUtf8(row.child("Description").text().get()),
                                row.child("TOVAFacilityID").text().as_int()});
    });
    readRows("GetRelativeData", [&](const pugi::xml_node& row) {
        // The list shows the active centers only.
        if (std::strcmp(row.child("Status").text().get(), "2") == 0) {
            m_centers.push_back(
                cellsOf(row, {"CenterID", "CenterName", "CenterRoute", "CenterLocation", "Facility",
                              "TOVAFacilityID", "Route", "DeliveryRouteID"}));
        }
    });
    readRows("GetDeliveryRoute", [&](const pugi::xml_node& row) {
        m_routes.push_back(cellsOf(row, {"Route", "Description", "Facility"}));
    });
    readRows("GetStorageLocation", [&](const pugi::xml_node& row) {
        m_bays.push_back(cellsOf(row, {"RouteName", "Description", "Facility"}));
    });

    fillList(*m_routeList, m_routes);
    fillList(*m_bayList, m_bays);
    fillList(*m_centerList, m_centers);
    for (QComboBox* box : m_facilityBoxes) {
        box->clear();
        for (const Facility& facility : m_facilities) {
            box->addItem(facility.description, facility.id);
        }
    }
    return problem;
}

} // namespace stowline::bench
