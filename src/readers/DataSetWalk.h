#pragma once

#include "platform/XmlDocument.h"
#include "readers/SharedCellTexts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

namespace stowline::readers {

// One data-set text loaded for reading. Rows are the Table elements under
// Root / DataSet / diffgr:diffgram / NewDataSet, every match at every level, in document order;
// names are compared exactly as written, prefix included.
class DataSetWalk {
public:
    // Takes the text to parse it in place: pass it with std::move where it is no longer needed.
    explicit DataSetWalk(QByteArray XMLData);

    bool parsed() const { return m_document.parsed(); }
    QString parseErrorReason() const { return m_document.parseErrorReason(); }
    // Whether the text parsed. A text that is not empty and does not parse is a failure, thrown
    // with the parser's reason and position for the reader to report under its own name: shown
    // as an empty list, it would tell the operator that the service holds no rows. Empty text is
    // what a failed exchange leaves, and that failure has been reported already.
    bool parsedOrRaise() const;

    // Calls onRow once per row with the values of the given columns, in the given order. A
    // column missing from a row is empty for that row; a column given twice takes the later one.
    template <typename OnRow>
    void forEachRow(std::initializer_list<const char*> columns, OnRow&& onRow) const {
        const std::vector<const char*> names(columns);
        const bool namesAreDistinct = distinctNames(names);
        QStringList values;
        SharedCellTexts texts(names.size());
        for (const pugi::xml_node& table : tables()) {
            readRow(table, names, namesAreDistinct, texts, values);
            onRow(static_cast<const QStringList&>(values));
        }
    }

private:
    std::vector<pugi::xml_node> tables() const;
    // With a column asked for twice, every cell must be matched against all names.
    static bool distinctNames(const std::vector<const char*>& names);
    static void readRow(const pugi::xml_node& table, const std::vector<const char*>& names,
                        bool namesAreDistinct, SharedCellTexts& texts, QStringList& values);

    platform::XmlDocument m_document;
    bool m_empty = false;
};

} // namespace stowline::readers
