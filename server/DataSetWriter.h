#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace stowline::server {

enum class ColumnType { Int, String, DateTime };

struct Column {
    const char* name;
    ColumnType type;
};

// How the text is written: as it stands, or as it stands inside a result element, where the
// whole text is escaped once more (a value's "&" becomes "&amp;amp;").
enum class DataSetForm { AsIs, InsideResult };

// Writes the data-set text a query answers with: Root / DataSet / the schema of the columns /
// the diffgram with NewDataSet and one Table element per row. Values are escaped; a column
// without a value (NULL) is left out of its row. Written inside the result element at once,
// a large answer is not built twice.
class DataSetWriter {
public:
    explicit DataSetWriter(std::span<const Column> columns, DataSetForm form = DataSetForm::AsIs);

    // How many rows are likely to come; once a few are written, the text is sized for all of
    // them, so that a large answer is not copied from buffer to ever larger buffer.
    void expectRows(std::size_t rows) { m_expectedRows = rows; }

    void beginRow();
    // Columns must be written in their order; any of them may be skipped.
    void value(std::size_t column, std::string_view text);
    void endRow();

    // The finished text; the writer is spent afterwards.
    std::string finish();

private:
    // Appends markup, escaped when the form asks for it.
    void markup(std::string_view text);

    DataSetForm m_form;
    // Each column's start and end tag, in the writer's form.
    std::vector<std::pair<std::string, std::string>> m_tags;
    std::string m_text;
    std::size_t m_rows = 0;
    std::size_t m_expectedRows = 0;
};

} // namespace stowline::server
