#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace stowline::controls {

class ListRows;

// Some columns of a list's source rows, folded for searching (TextFolding.h), all in one buffer:
// made once when a search first needs them, so that a search allocates nothing per row. A row's
// cells follow each other with a line feed between them, which no search word holds, so that a
// word is found within one cell only.
class FoldedRows {
public:
    // Whether the rows hold these columns (in this order).
    bool holds(const std::vector<int>& columns) const { return m_built && m_columns == columns; }
    // Folds the columns of source rows 0 to rows - 1.
    void build(const ListRows& source, int rows, std::vector<int> columns);
    void clear();

    // All the row's folded cells.
    QStringView row(int row) const;
    // One cell, when its column is among the folded ones.
    std::optional<QStringView> cell(int row, int column) const;

private:
    QStringView span(std::size_t firstCell, std::size_t lastCell) const;

    bool m_built = false;
    std::vector<int> m_columns;
    QString m_text;
    // Where each cell ends in m_text, row after row; the next begins one separator later.
    std::vector<std::uint32_t> m_cellEnds;
};

} // namespace stowline::controls
