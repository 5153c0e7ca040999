#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stowline::state {

// Rows of texts as a data set gave them: for each row one UTF-8 text per column, all in one
// buffer. A text becomes a QString only where it is shown or a record is built from it, so
// tens of thousands of rows cost a few bytes each beyond their text.
class Utf8Table {
public:
    explicit Utf8Table(std::size_t columns = 0, std::size_t expectedRows = 0) : m_columns(columns) {
        m_ends.reserve(columns * expectedRows);
    }

    std::size_t columns() const { return m_columns; }
    int rows() const { return m_columns == 0 ? 0 : static_cast<int>(m_ends.size() / m_columns); }

    QByteArrayView cell(int row, std::size_t column) const {
        const std::size_t index = static_cast<std::size_t>(row) * m_columns + column;
        const std::uint32_t begin = index == 0 ? 0 : m_ends[index - 1];
        return {m_bytes.data() + begin, static_cast<qsizetype>(m_ends[index] - begin)};
    }
    QString text(int row, std::size_t column) const { return QString::fromUtf8(cell(row, column)); }

    // Appends a row: one text for each column. Texts total less than 4 GiB (answers are
    // refused long before).
    void addRow(const std::string_view* cells) {
        for (std::size_t column = 0; column < m_columns; ++column) {
            m_bytes.append(cells[column]);
            m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
        }
    }

private:
    std::size_t m_columns;
    std::string m_bytes;
    // Where each cell ends in m_bytes, row after row; a cell begins where the one before ends.
    std::vector<std::uint32_t> m_ends;
};

// Whether a text kept as UTF-8 is the given one, as the two QStrings would compare.
inline bool sameText(QByteArrayView utf8, const QString& text) {
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return QString::fromUtf8(utf8) == text;
        }
    }
    return QLatin1StringView(utf8) == text;
}

} // namespace stowline::state
