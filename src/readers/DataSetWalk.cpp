#include "readers/DataSetWalk.h"

#include <cstring>
#include <string>
#include <string_view>

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

// With a column asked for twice, every cell must be matched against all names.
bool distinctNames(std::span<const char* const> names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (std::strcmp(names[i], names[j]) == 0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

DataSetWalk::DataSetWalk(QByteArray XMLData) {
    m_document.loadForReading(std::move(XMLData));
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

state::Utf8Table DataSetWalk::rows(std::span<const char* const> columns) const {
    const std::vector<pugi::xml_node> rows = tables();
    const bool namesAreDistinct = distinctNames(columns);
    state::Utf8Table table(columns.size(), rows.size());
    std::vector<std::string_view> cells(columns.size());
    // A cell holding more than one piece of text (nested markup, CDATA beside text) has its
    // pieces gathered here, one scratch string per column so that a later one leaves it be.
    std::vector<std::string> gathered(columns.size());
    // Rows mostly have the same cells in the same order: what the element at each place of the
    // row before was named and which column it went to (or none) are tried first, so that a
    // cell costs one comparison of names.
    struct Place {
        const char* name;
        std::size_t column;
    };
    std::vector<Place> places;
    for (const pugi::xml_node& row : rows) {
        std::fill(cells.begin(), cells.end(), std::string_view());
        std::size_t place = 0;
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
            if (cell.type() != pugi::node_element) {
                continue;
            }
            const char* name = cell.name();
            if (place == places.size()) {
                places.push_back({"", columns.size()});
            }
            Place& known = places[place++];
            if (!namesAreDistinct || std::strcmp(name, known.name) != 0) {
                known = {name, columns.size()};
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    if (std::strcmp(name, columns[i]) == 0) {
                        // A name given twice matches every column of that name.
                        cells[i] = xml::nodeTextUtf8(cell, gathered[i]);
                        known.column = i;
                    }
                }
            } else if (known.column < columns.size()) {
                cells[known.column] = xml::nodeTextUtf8(cell, gathered[known.column]);
            }
        }
        table.addRow(cells.data());
    }
    return table;
}

} // namespace stowline::readers
