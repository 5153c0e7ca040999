#pragma once

#include "controls/ListModel.h"
#include "state/RecordTable.h"

#include <array>
#include <vector>

namespace stowline::state {

// A record's key as a list item's tag: the text as sent, or the integer 0 when there is none.
inline QVariant keyTag(QByteArrayView id) {
    return id.isEmpty() ? QVariant(0) : QVariant(QString::fromUtf8(id));
}

// A list's rows read from a record table: row r is record r + 1, each column one column of the
// table, converted only when the list asks for it. The list keeps no copy of a text.
template <typename Record, std::size_t Columns> class RecordRows : public controls::ListRows {
public:
    // The table's columns the list shows, and the one its tag (the record's key) comes from.
    RecordRows(const RecordTable<Record>& records, std::array<std::size_t, Columns> columns,
               std::size_t keyColumn)
        : m_records(records), m_columns(columns), m_keyColumn(keyColumn) {}

    QString text(int row, int column) const override {
        return QString::fromUtf8(cell(row, column));
    }
    std::optional<QByteArrayView> utf8(int row, int column) const override {
        return cell(row, column);
    }
    QVariant tag(int row) const override {
        return keyTag(m_records.table().cell(row, m_keyColumn));
    }

private:
    QByteArrayView cell(int row, int column) const {
        const auto shown = static_cast<std::size_t>(column);
        return shown < Columns ? m_records.table().cell(row, m_columns[shown]) : QByteArrayView();
    }

    const RecordTable<Record>& m_records;
    std::array<std::size_t, Columns> m_columns;
    std::size_t m_keyColumn;
};

// The centers as lstStowline shows them: the listed ones of every center read, each item tagged
// with a copy of its record, built when the tag is asked for.
class CenterRows : public controls::ListRows {
public:
    CenterRows(const RecordTable<RouteAndLocationsUDT>& centers,
               const std::vector<std::size_t>& listed)
        : m_centers(centers), m_listed(listed) {}

    QString text(int row, int column) const override {
        return QString::fromUtf8(cell(row, column));
    }
    std::optional<QByteArrayView> utf8(int row, int column) const override {
        return cell(row, column);
    }
    QVariant tag(int row) const override {
        return QVariant::fromValue(m_centers[m_listed[static_cast<std::size_t>(row)]]);
    }

private:
    QByteArrayView cell(int row, int column) const {
        using C = RouteAndLocationsUDT;
        static constexpr std::array<QString C::*, 8> Shown = {
            &C::CenterID,       &C::Name,  &C::RouteDescription, &C::Location, &C::Facility,
            &C::TOVAFacilityID, &C::Route, &C::DeliveryRouteID};
        const auto shown = static_cast<std::size_t>(column);
        return shown < Shown.size()
                   ? m_centers.field(m_listed[static_cast<std::size_t>(row)], Shown[shown])
                   : QByteArrayView();
    }

    const RecordTable<RouteAndLocationsUDT>& m_centers;
    const std::vector<std::size_t>& m_listed;
};

} // namespace stowline::state
