#pragma once

#include <QString>
#include <pugixml.hpp>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stowline::readers {

// Turns the cells of one walk over a data set into strings, handing out one shared string for
// a text that repeats within a column. Centers repeat their facility, route and bay thousands
// of times; converting and keeping a copy of each was a large part of filling the lists. A
// column whose texts seldom repeat (names, ids) stops being looked up after a trial.
// The texts it keeps point into the document, so it must not outlive the walk.
class SharedCellTexts {
public:
    explicit SharedCellTexts(std::size_t columns) : m_columns(columns) {}

    // The cell's text, as platform::nodeText gives it.
    QString text(std::size_t column, const pugi::xml_node& cell);

private:
    struct Column {
        std::unordered_map<std::string_view, QString> seen;
        bool sharing = true;
    };
    std::vector<Column> m_columns;
};

} // namespace stowline::readers
