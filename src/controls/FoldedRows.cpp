#include "controls/FoldedRows.h"

#include "controls/ListModel.h"
#include "controls/TextFolding.h"

#include <algorithm>

namespace stowline::controls {

void FoldedRows::build(const ListRows& source, int rows, std::vector<int> columns) {
    clear();
    m_columns = std::move(columns);
    const std::size_t cells = static_cast<std::size_t>(rows) * m_columns.size();
    m_cellEnds.reserve(cells);
    // Most cells of a list are short; the buffer grows where they are not.
    m_text.reserve(static_cast<qsizetype>(cells) * 16);
    for (int row = 0; row < rows; ++row) {
        for (const int column : m_columns) {
            if (const std::optional<QByteArrayView> utf8 = source.utf8(row, column)) {
                appendFolded(m_text, *utf8);
            } else {
                appendFolded(m_text, source.text(row, column));
            }
            m_cellEnds.push_back(static_cast<std::uint32_t>(m_text.size()));
            m_text += QLatin1Char('\n');
        }
    }
    m_built = true;
}

void FoldedRows::clear() {
    m_built = false;
    m_columns.clear();
    m_text = QString();
    m_cellEnds = {};
}

QStringView FoldedRows::span(std::size_t firstCell, std::size_t lastCell) const {
    const std::size_t begin = firstCell == 0 ? 0 : m_cellEnds[firstCell - 1] + 1;
    return QStringView(m_text).sliced(static_cast<qsizetype>(begin),
                                      static_cast<qsizetype>(m_cellEnds[lastCell] - begin));
}

QStringView FoldedRows::row(int row) const {
    if (m_columns.empty()) {
        return {};
    }
    const std::size_t first = static_cast<std::size_t>(row) * m_columns.size();
    return span(first, first + m_columns.size() - 1);
}

std::optional<QStringView> FoldedRows::cell(int row, int column) const {
    const auto found = std::find(m_columns.begin(), m_columns.end(), column);
    if (found == m_columns.end()) {
        return std::nullopt;
    }
    const std::size_t index = static_cast<std::size_t>(row) * m_columns.size() +
                              static_cast<std::size_t>(found - m_columns.begin());
    return span(index, index);
}

} // namespace stowline::controls
