#pragma once

#include "state/Utf8Table.h"
#include "xml/XmlDocument.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

namespace stowline::readers {

// One data-set text loaded for reading. Rows are the Table elements under
// Root / DataSet / diffgr:diffgram / NewDataSet, every match at every level, in document order;
// names are compared exactly as written, prefix included.
class DataSetWalk {
public:
    // Takes the text to parse it in place: pass it with std::move where it is no longer needed.
    explicit DataSetWalk(QByteArray XMLData);

    const xml::ReadResult& result() const { return m_document.result(); }

    // The given columns of every row, in the given order, as the cells' texts. A column missing
    // from a row is empty for that row; a column given twice takes the later one.
    state::Utf8Table rows(std::span<const char* const> columns) const;

private:
    std::vector<pugi::xml_node> tables() const;

    xml::XmlDocument m_document;
};

} // namespace stowline::readers
