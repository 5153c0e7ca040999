#pragma once

#include "platform/ListModel.h"

#include <stowline/Records.h>

#include <array>
#include <vector>

namespace stowline::state {

// A list's rows read from a record array: row r is record r + 1 (index 0 is never used), each
// column a field of it. The list keeps no copy of a text.
template <typename Record, std::size_t Columns> class RecordRows : public platform::ListRows {
public:
    using Column = QString Record::*;
    using Tag = QVariant (*)(const Record& record);

    RecordRows(const std::vector<Record>& records, std::array<Column, Columns> columns, Tag tagOf)
        : m_records(records), m_columns(columns), m_tag(tagOf) {}

    const QString& text(int row, int column) const override {
        static const QString none;
        const auto field = static_cast<std::size_t>(column);
        return field < Columns ? record(row).*m_columns[field] : none;
    }
    QVariant tag(int row) const override { return m_tag(record(row)); }

protected:
    const Record& record(int row) const { return m_records[static_cast<std::size_t>(row) + 1]; }

private:
    const std::vector<Record>& m_records;
    std::array<Column, Columns> m_columns;
    Tag m_tag;
};

// The bays as lstLocation shows them: the bay's name, which has no field in the record, is kept
// beside it, at the same index.
class LocationRows : public RecordRows<StorageLocationUDT, 3> {
public:
    LocationRows(const std::vector<StorageLocationUDT>& records, const std::vector<QString>& names,
                 Tag tagOf)
        : RecordRows(records,
                     {&StorageLocationUDT::Description, &StorageLocationUDT::Description,
                      &StorageLocationUDT::Facility},
                     tagOf),
          m_names(names) {}

    const QString& text(int row, int column) const override {
        return column == 0 ? m_names[static_cast<std::size_t>(row) + 1]
                           : RecordRows::text(row, column);
    }

private:
    const std::vector<QString>& m_names;
};

// The centers as lstStowline shows them: the listed ones of every center read, each item tagged
// with a copy of its record.
class CenterRows : public platform::ListRows {
public:
    CenterRows(const std::vector<RouteAndLocationsUDT>& centers,
               const std::vector<std::size_t>& listed)
        : m_centers(centers), m_listed(listed) {}

    const QString& text(int row, int column) const override {
        static const QString none;
        using C = RouteAndLocationsUDT;
        static constexpr std::array<QString C::*, 8> Columns = {
            &C::CenterID,       &C::Name,  &C::RouteDescription, &C::Location, &C::Facility,
            &C::TOVAFacilityID, &C::Route, &C::DeliveryRouteID};
        const auto field = static_cast<std::size_t>(column);
        return field < Columns.size() ? center(row).*Columns[field] : none;
    }
    QVariant tag(int row) const override { return QVariant::fromValue(center(row)); }

private:
    const RouteAndLocationsUDT& center(int row) const {
        return m_centers[m_listed[static_cast<std::size_t>(row)]];
    }

    const std::vector<RouteAndLocationsUDT>& m_centers;
    const std::vector<std::size_t>& m_listed;
};

// A record's key as a list item's tag: the text as sent, or the integer 0 when there is none.
inline QVariant keyTag(const QString& id) {
    return id.isEmpty() ? QVariant(0) : QVariant(id);
}

} // namespace stowline::state
