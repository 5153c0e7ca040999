#include "readers/DataSetWalk.h"

#include "failures/StowlineError.h"

#include <cstring>

namespace stowline::readers {
namespace {

template <typename Visit>
void forEachChildNamed(const pugi::xml_node& parent, const char* name, Visit&& visit) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && std::strcmp(child.name(), name) == 0) {
            visit(child);
        }
    }
}

} // namespace

bool DataSetWalk::distinctNames(const std::vector<const char*>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (std::strcmp(names[i], names[j]) == 0) {
                return false;
            }
        }
    }
    return true;
}

DataSetWalk::DataSetWalk(QByteArray XMLData) : m_empty(XMLData.isEmpty()) {
    m_document.loadForReading(std::move(XMLData));
}

bool DataSetWalk::parsedOrRaise() const {
    if (!parsed() && !m_empty) {
        raiseError(
            0, QStringLiteral("The data set is not well-formed XML: %1").arg(parseErrorReason()));
    }
    return parsed();
}

std::vector<pugi::xml_node> DataSetWalk::tables() const {
    std::vector<pugi::xml_node> rows;
    forEachChildNamed(m_document.dom(), "Root", [&](const pugi::xml_node& root) {
        forEachChildNamed(root, "DataSet", [&](const pugi::xml_node& dataSet) {
            forEachChildNamed(dataSet, "diffgr:diffgram", [&](const pugi::xml_node& diffgram) {
                forEachChildNamed(diffgram, "NewDataSet", [&](const pugi::xml_node& newDataSet) {
                    forEachChildNamed(newDataSet, "Table",
                                      [&](const pugi::xml_node& table) { rows.push_back(table); });
                });
            });
        });
    });
    return rows;
}

void DataSetWalk::readRow(const pugi::xml_node& table, const std::vector<const char*>& names,
                          bool namesAreDistinct, SharedCellTexts& texts, QStringList& values) {
    values.clear();
    values.resize(static_cast<qsizetype>(names.size()));
    // Cells mostly come in the order the columns are asked for: the name after the last match
    // is tried first, and the full search runs only when it does not match.
    std::size_t expected = 0;
    for (pugi::xml_node cell = table.first_child(); cell; cell = cell.next_sibling()) {
        if (cell.type() != pugi::node_element) {
            continue;
        }
        const char* name = cell.name();
        if (namesAreDistinct && expected < names.size() &&
            std::strcmp(name, names[expected]) == 0) {
            values[static_cast<qsizetype>(expected)] = texts.text(expected, cell);
            ++expected;
            continue;
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (std::strcmp(name, names[i]) == 0) {
                values[static_cast<qsizetype>(i)] = texts.text(i, cell);
                expected = i + 1;
            }
        }
    }
}

} // namespace stowline::readers
