#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace stowline::server {

enum class ColumnType { Int, String, DateTime };

struct Column {
    const char* name;
    ColumnType type;
};

// Writes the data-set text a query answers with: Root / DataSet / the schema of the columns /
// the diffgram with NewDataSet and one Table element per row. Values are escaped; a column
// without a value (NULL) is left out of its row.
class DataSetWriter {
public:
    explicit DataSetWriter(std::span<const Column> columns);

    void beginRow();
    // Columns must be written in their order; any of them may be skipped.
    void value(std::size_t column, std::string_view text);
    void endRow();

    // The finished text; the writer is spent afterwards.
    std::string finish();

private:
    std::span<const Column> m_columns;
    std::string m_text;
    std::size_t m_rows = 0;
};

} // namespace stowline::server
