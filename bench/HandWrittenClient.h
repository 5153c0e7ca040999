#pragma once

#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QTreeWidget;

namespace stowline::bench {

// The peer of the cold LoadData measurement: the same screen written plainly by hand, as a
// competent engineer would without tuning. It posts the four queries with libcurl, parses each
// envelope and each data set with pugixml, keeps the rows as QStrings and fills bare list
// widgets, sorted by their first column, and the three facility drop-downs. Its lists and
// drop-downs carry the component's object names, so both are counted the same way.
class HandWrittenClient : public QWidget {
public:
    explicit HandWrittenClient(QWidget* parent = nullptr);

    // Fetches the four answers and fills the lists and drop-downs. Returns "" or what failed.
    std::string load(const std::string& serverName);

private:
    struct Facility {
        QString description;
        int id = 0;
    };

    std::vector<QStringList> m_routes;
    std::vector<QStringList> m_bays;
    std::vector<QStringList> m_centers;
    std::vector<Facility> m_facilities;
    QTreeWidget* m_routeList;
    QTreeWidget* m_bayList;
    QTreeWidget* m_centerList;
    std::vector<QComboBox*> m_facilityBoxes;
};

} // namespace stowline::bench
