#include "controls/ListModel.h"

#include "controls/ReadingOrder.h"
#include "controls/TextFolding.h"

#include <algorithm>
#include <numeric>

namespace stowline::controls {
namespace {

QString textOf(const QStringList& texts, int column) {
    return column >= 0 && column < texts.size() ? texts.at(column) : QString();
}

// A plain number: decimal digits only, without a leading zero (but "0" itself), short enough
// for 64 bits. Collation with numbers by value orders such texts as their values.
char32_t unit(char c) {
    return static_cast<unsigned char>(c);
}

char32_t unit(QChar c) {
    return c.unicode();
}

template <typename Text> std::optional<std::uint64_t> plainNumber(const Text& text) {
    if (text.isEmpty() || text.size() > 18 || (text.size() > 1 && unit(text[0]) == U'0')) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const auto c : text) {
        if (unit(c) < U'0' || unit(c) > U'9') {
            return std::nullopt;
        }
        value = value * 10 + (unit(c) - U'0');
    }
    return value;
}

int compareKeys(std::uint64_t a, std::uint64_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int compareKeys(const QCollatorSortKey* a, const QCollatorSortKey* b) {
    return a->compare(*b);
}

} // namespace

ListModel::ListModel(QObject* parent)
    : QAbstractTableModel(parent), m_collator(readingCollator()) {}

void ListModel::addColumn(const QString& caption) {
    const int column = static_cast<int>(m_captions.size());
    beginInsertColumns({}, column, column);
    m_captions.append(caption);
    m_sourceKeys.resize(m_captions.size());
    endInsertColumns();
}

void ListModel::clear() {
    beginResetModel();
    m_order.clear();
    m_shown.clear();
    m_sourcePositions.clear();
    m_addedPositions.clear();
    m_sourceMatches.clear();
    m_addedMatches.clear();
    m_added.clear();
    m_changed.clear();
    forgetSourceKeys();
    ++m_generation;
    endResetModel();
}

void ListModel::showSourceRows(int count) {
    beginResetModel();
    m_order.resize(static_cast<std::size_t>(count));
    std::iota(m_order.begin(), m_order.end(), 0);
    m_sourcePositions.assign(m_order.size(), Gone);
    forgetSourceKeys();
    matchRows();
    endResetModel();
}

int ListModel::addRow(const QString& text) {
    const int key = addedKey(m_added.size());
    const int position = rows();
    beginInsertRows({}, position, position);
    m_added.push_back(QStringList{text});
    m_order.push_back(key);
    m_shown.push_back(key);
    m_addedPositions.push_back(position);
    m_addedMatches.push_back(1);
    endInsertRows();
    return key;
}

void ListModel::removeRowAt(int position) {
    const int key = keyAt(position);
    beginRemoveRows({}, position, position);
    m_shown.erase(m_shown.begin() + position);
    m_order.erase(std::find(m_order.begin(), m_order.end(), key));
    rebuildPositions();
    endRemoveRows();
}

int ListModel::positionOf(int key) const {
    const std::vector<int>& positions = key >= 0 ? m_sourcePositions : m_addedPositions;
    const std::size_t index = key >= 0 ? static_cast<std::size_t>(key) : addedIndex(key);
    return index < positions.size() ? std::max(positions[index], -1) : -1;
}

bool ListModel::holds(int key) const {
    const std::vector<int>& positions = key >= 0 ? m_sourcePositions : m_addedPositions;
    const std::size_t index = key >= 0 ? static_cast<std::size_t>(key) : addedIndex(key);
    return index < positions.size() && positions[index] != Gone;
}

QStringList* ListModel::changedTexts(int key) {
    const auto found = std::find_if(m_changed.begin(), m_changed.end(),
                                    [key](const ChangedRow& row) { return row.key == key; });
    return found == m_changed.end() ? nullptr : &found->texts;
}

const QStringList* ListModel::changedTexts(int key) const {
    return const_cast<ListModel*>(this)->changedTexts(key);
}

QString ListModel::text(int key, int column) const {
    if (key < 0) {
        return textOf(m_added.at(addedIndex(key)), column);
    }
    if (!m_changed.empty()) {
        if (const QStringList* texts = changedTexts(key)) {
            return textOf(*texts, column);
        }
    }
    return m_source != nullptr && column >= 0 && column < m_captions.size()
               ? m_source->text(key, column)
               : QString();
}

void ListModel::setText(int key, int column, const QString& text) {
    QStringList* texts = nullptr;
    if (key < 0) {
        texts = &m_added.at(addedIndex(key));
    } else if (QStringList* changed = changedTexts(key)) {
        texts = changed;
    } else {
        QStringList copied;
        for (int c = 0; c < m_captions.size(); ++c) {
            copied.append(m_source->text(key, c));
        }
        m_changed.push_back({key, copied});
        texts = &m_changed.back().texts;
    }
    if (column >= texts->size()) {
        texts->resize(column + 1);
    }
    (*texts)[column] = text;
    if (const int position = positionOf(key); position >= 0) {
        emit dataChanged(index(position, column), index(position, column));
    }
}

QVariant ListModel::tag(int key) const {
    return key < 0 || m_source == nullptr ? QVariant() : m_source->tag(key);
}

void ListModel::sortRows(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> keys;
    keys.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        keys.push_back(keyAt(index.row()));
    }

    const bool ascending = order == Qt::AscendingOrder;
    // The few rows a page added or changed get their keys for this sort only.
    const auto ownRow = [this](int key) {
        return key < 0 || (!m_changed.empty() && changedTexts(key) != nullptr);
    };
    bool sorted = false;
    if (const std::optional<std::vector<std::uint64_t>>& numbers = sourceNumbers(column)) {
        std::vector<std::uint64_t> rowNumbers;
        rowNumbers.reserve(m_order.size());
        for (const int key : m_order) {
            const std::optional<std::uint64_t> number =
                ownRow(key) ? plainNumber(text(key, column))
                            : std::optional((*numbers)[static_cast<std::size_t>(key)]);
            if (!number) {
                break;
            }
            rowNumbers.push_back(*number);
        }
        if (rowNumbers.size() == m_order.size()) {
            orderRows(rowNumbers, ascending);
            sorted = true;
        }
    }
    if (!sorted) {
        const std::vector<QCollatorSortKey>& collationKeys = sourceCollationKeys(column);
        std::vector<QCollatorSortKey> ownKeys;
        ownKeys.reserve(m_added.size() + m_changed.size());
        std::vector<const QCollatorSortKey*> rowKeys;
        rowKeys.reserve(m_order.size());
        for (const int key : m_order) {
            rowKeys.push_back(ownRow(key)
                                  ? &ownKeys.emplace_back(m_collator.sortKey(text(key, column)))
                                  : &collationKeys[static_cast<std::size_t>(key)]);
        }
        orderRows(rowKeys, ascending);
    }

    deriveShown();
    QModelIndexList after;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        after.append(index(positionOf(keys[i]), before[static_cast<qsizetype>(i)].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

template <typename Key> void ListModel::orderRows(const std::vector<Key>& keys, bool ascending) {
    // A row's rank is where the service sent it; rows a page added follow all of those.
    struct SortedRow {
        std::size_t position;
        int rank;
        int key;
    };
    const int sourceRows = static_cast<int>(m_sourcePositions.size());
    std::vector<SortedRow> rows;
    rows.reserve(m_order.size());
    for (std::size_t position = 0; position < m_order.size(); ++position) {
        const int key = m_order[position];
        rows.push_back(
            {position, key >= 0 ? key : sourceRows + static_cast<int>(addedIndex(key)), key});
    }
    const auto precedes = [&keys, ascending](const SortedRow& a, const SortedRow& b) {
        const int compared = compareKeys(keys[a.position], keys[b.position]);
        return compared != 0 ? (ascending ? compared < 0 : compared > 0) : a.rank < b.rank;
    };
    // The service often sends the rows in the order shown (centers by their key): one pass
    // over them is then enough.
    if (!std::is_sorted(rows.begin(), rows.end(), precedes)) {
        std::sort(rows.begin(), rows.end(), precedes);
    }
    std::transform(rows.begin(), rows.end(), m_order.begin(),
                   [](const SortedRow& row) { return row.key; });
}

const std::optional<std::vector<std::uint64_t>>& ListModel::sourceNumbers(int column) {
    ColumnKeys& keys = m_sourceKeys.at(static_cast<std::size_t>(column));
    if (!keys.numbersTried) {
        keys.numbersTried = true;
        std::vector<std::uint64_t> numbers;
        const std::size_t rows = m_sourcePositions.size();
        numbers.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row) {
            const std::optional<QByteArrayView> utf8 =
                m_source->utf8(static_cast<int>(row), column);
            const std::optional<std::uint64_t> number =
                utf8 ? plainNumber(*utf8)
                     : plainNumber(m_source->text(static_cast<int>(row), column));
            if (!number) {
                return keys.numbers;
            }
            numbers.push_back(*number);
        }
        keys.numbers = std::move(numbers);
    }
    return keys.numbers;
}

const std::vector<QCollatorSortKey>& ListModel::sourceCollationKeys(int column) {
    std::vector<QCollatorSortKey>& keys =
        m_sourceKeys.at(static_cast<std::size_t>(column)).collation;
    if (keys.empty()) {
        const std::size_t rows = m_sourcePositions.size();
        keys.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row) {
            keys.push_back(m_collator.sortKey(m_source->text(static_cast<int>(row), column)));
        }
    }
    return keys;
}

void ListModel::forgetSourceKeys() {
    m_folded.clear();
    for (ColumnKeys& keys : m_sourceKeys) {
        keys = {};
    }
}

void ListModel::setFilter(const QStringList& words, const std::vector<int>& columns) {
    beginResetModel();
    m_words = words;
    m_filterColumns = columns;
    matchRows();
    endResetModel();
}

const FoldedRows& ListModel::foldedRows(const std::vector<int>& columns) {
    if (!m_folded.holds(columns) && m_source != nullptr) {
        m_folded.build(*m_source, static_cast<int>(m_sourcePositions.size()), columns);
    }
    return m_folded;
}

void ListModel::matchRows() {
    m_sourceMatches.assign(m_sourcePositions.size(), 1);
    m_addedMatches.assign(m_added.size(), 1);
    if (!m_words.isEmpty()) {
        foldedRows(m_filterColumns);
        QString scratch;
        for (std::size_t key = 0; key < m_sourceMatches.size(); ++key) {
            m_sourceMatches[key] = matches(static_cast<int>(key), scratch) ? 1 : 0;
        }
        for (std::size_t index = 0; index < m_addedMatches.size(); ++index) {
            m_addedMatches[index] = matches(addedKey(index), scratch) ? 1 : 0;
        }
    }
    deriveShown();
}

bool ListModel::matches(int key, QString& scratch) const {
    QStringView row;
    if (key >= 0 && (m_changed.empty() || changedTexts(key) == nullptr) &&
        m_folded.holds(m_filterColumns)) {
        row = m_folded.row(key);
    } else {
        // A row the page added or changed: its texts are folded here, the few there are.
        scratch.clear();
        for (const int column : m_filterColumns) {
            appendFolded(scratch, text(key, column));
            scratch += QLatin1Char('\n');
        }
        row = scratch;
    }
    return std::all_of(m_words.begin(), m_words.end(),
                       [row](const QString& word) { return row.contains(word); });
}

void ListModel::deriveShown() {
    m_shown.clear();
    m_shown.reserve(m_order.size());
    for (const int key : m_order) {
        const bool shown = key >= 0 ? m_sourceMatches[static_cast<std::size_t>(key)] != 0
                                    : m_addedMatches[addedIndex(key)] != 0;
        if (shown) {
            m_shown.push_back(key);
        }
    }
    rebuildPositions();
}

void ListModel::rebuildPositions() {
    std::fill(m_sourcePositions.begin(), m_sourcePositions.end(), Gone);
    std::fill(m_addedPositions.begin(), m_addedPositions.end(), Gone);
    const auto positionSlot = [this](int key) -> int& {
        return key >= 0 ? m_sourcePositions[static_cast<std::size_t>(key)]
                        : m_addedPositions[addedIndex(key)];
    };
    for (const int key : m_order) {
        positionSlot(key) = Hidden;
    }
    for (std::size_t position = 0; position < m_shown.size(); ++position) {
        positionSlot(m_shown[position]) = static_cast<int>(position);
    }
}

int ListModel::firstStartingWith(int column, const QString& prefix,
                                 const std::vector<int>& columns) {
    const FoldedRows& folded = foldedRows(columns);
    QString scratch;
    for (std::size_t position = 0; position < m_shown.size(); ++position) {
        const int key = m_shown[position];
        std::optional<QStringView> cell;
        if (key >= 0 && (m_changed.empty() || changedTexts(key) == nullptr)) {
            cell = folded.cell(key, column);
        }
        if (!cell) {
            scratch.clear();
            appendFolded(scratch, text(key, column));
            cell = scratch;
        }
        if (cell->startsWith(prefix)) {
            return static_cast<int>(position);
        }
    }
    return -1;
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return text(keyAt(index.row()), index.column());
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return m_captions.value(section);
}

} // namespace stowline::controls
