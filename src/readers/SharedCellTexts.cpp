#include "readers/SharedCellTexts.h"

#include "platform/XmlDocument.h"

namespace stowline::readers {
namespace {

// A column with more distinct texts than this stops being shared: names and keys, which never
// repeat. Routes and bays, a few thousand repeated over tens of thousands of centers (and all
// of them met once before any repeats, in the order the service lists centers), stay shared.
constexpr std::size_t DistinctLimit = 8192;

} // namespace

QString SharedCellTexts::text(std::size_t column, const pugi::xml_node& cell) {
    Column& shared = m_columns.at(column);
    // Only a cell holding one piece of text is shared: read for reading, its text is the cell's
    // value, or its one CDATA section. Anything else takes the general way.
    const pugi::xml_node only = cell.first_child();
    const char* const value = cell.value();
    const bool oneSection = only && !only.next_sibling() && *value == '\0' &&
                            (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata);
    if (!shared.sharing || (only && !oneSection)) {
        return platform::nodeText(cell);
    }
    const std::string_view raw = oneSection ? only.value() : value;
    const auto [entry, added] = shared.seen.try_emplace(raw);
    if (added) {
        entry->second = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    }
    const QString result = entry->second;
    if (shared.seen.size() > DistinctLimit) {
        shared.sharing = false;
        shared.seen = {};
    }
    return result;
}

} // namespace stowline::readers
