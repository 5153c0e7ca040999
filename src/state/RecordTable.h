#pragma once

#include "state/Utf8Table.h"

#include <stowline/Records.h>

#include <array>
#include <cstddef>
#include <vector>

namespace stowline::state {

// Where each field of a record comes from: the data set's column of that name.
template <typename Record> struct RecordField {
    QString Record::*member;
    const char* column;
};

template <typename Record> struct RecordFields;

template <> struct RecordFields<RouteUDT> {
    static constexpr std::array<RecordField<RouteUDT>, 5> fields{{
        {&RouteUDT::Description, "Description"},
        {&RouteUDT::Facility, "Facility"},
        {&RouteUDT::ID, "DeliveryRouteID"},
        {&RouteUDT::Route, "Route"},
        {&RouteUDT::TOVAFacilityID, "TOVAFacilityID"},
    }};
};

template <> struct RecordFields<StorageLocationUDT> {
    static constexpr std::array<RecordField<StorageLocationUDT>, 4> fields{{
        {&StorageLocationUDT::Description, "Description"},
        {&StorageLocationUDT::ID, "StorageLocationID"},
        {&StorageLocationUDT::Facility, "Facility"},
        {&StorageLocationUDT::TOVAFacilityID, "TOVAFacilityID"},
    }};
};

template <> struct RecordFields<RouteAndLocationsUDT> {
    static constexpr std::array<RecordField<RouteAndLocationsUDT>, 10> fields{{
        {&RouteAndLocationsUDT::CenterID, "CenterID"},
        {&RouteAndLocationsUDT::DeliveryRouteID, "DeliveryRouteID"},
        {&RouteAndLocationsUDT::Facility, "Facility"},
        {&RouteAndLocationsUDT::Location, "CenterLocation"},
        {&RouteAndLocationsUDT::Name, "CenterName"},
        {&RouteAndLocationsUDT::Route, "Route"},
        {&RouteAndLocationsUDT::RouteDescription, "CenterRoute"},
        {&RouteAndLocationsUDT::Status, "Status"},
        {&RouteAndLocationsUDT::StorageLocationID, "StorageLocationID"},
        {&RouteAndLocationsUDT::TOVAFacilityID, "TOVAFacilityID"},
    }};
};

// The columns a reader asks of the data set for a record type: the fields' columns in field
// order, then any the list shows beyond the record.
template <typename Record, std::size_t Extra = 0>
constexpr auto recordColumns(std::array<const char*, Extra> extra = {}) {
    constexpr auto& fields = RecordFields<Record>::fields;
    std::array<const char*, fields.size() + Extra> columns{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        columns[i] = fields[i].column;
    }
    for (std::size_t i = 0; i < Extra; ++i) {
        columns[fields.size() + i] = extra[i];
    }
    return columns;
}

// The column of a record's field in a table read with recordColumns.
template <typename Record> constexpr std::size_t columnOf(QString Record::*member) {
    constexpr auto& fields = RecordFields<Record>::fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].member == member) {
            return i;
        }
    }
    return fields.size();
}

// A record array as the last read that gave rows left it: index 0 is never used, record k is
// row k - 1 of the table, and a record is built only when it is asked for. Before any read has
// given rows it holds no element at all, not even index 0.
template <typename Record> class RecordTable {
public:
    std::size_t size() const {
        return m_table.rows() == 0 ? 0 : static_cast<std::size_t>(m_table.rows()) + 1;
    }
    bool empty() const { return size() == 0; }

    Record operator[](std::size_t index) const {
        Record record;
        if (index > 0) {
            for (std::size_t i = 0; i < RecordFields<Record>::fields.size(); ++i) {
                record.*RecordFields<Record>::fields[i].member = m_table.text(row(index), i);
            }
        }
        return record;
    }
    // One field of record `index` (from 1), as UTF-8.
    QByteArrayView field(std::size_t index, QString Record::*member) const {
        return m_table.cell(row(index), columnOf(member));
    }

    const Utf8Table& table() const { return m_table; }
    void replace(Utf8Table table) { m_table = std::move(table); }

private:
    static int row(std::size_t index) { return static_cast<int>(index) - 1; }

    Utf8Table m_table;
};

} // namespace stowline::state
