#pragma once

#include "controls/FoldedRows.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <vector>

namespace stowline::controls {

// The rows a list shows, read where they are kept: row r is the r-th record of the last read,
// counted from 0. The list holds no copy of a text: it asks for those it shows.
class ListRows {
public:
    virtual ~ListRows() = default;
    virtual QString text(int row, int column) const = 0;
    // The text as UTF-8, where the rows keep it so; lets a sort look at the texts of a whole
    // column without converting them.
    virtual std::optional<QByteArrayView> utf8(int /*row*/, int /*column*/) const {
        return std::nullopt;
    }
    virtual QVariant tag(int row) const = 0;
};

// A list's rows in their order: the rows of its source, as a permutation of their numbers, and
// the few rows a page adds or changes before the list is read again. Each row has a key that
// stays with it through sorting: a source row's number, or for an added row a negative key.
// Keys are valid until the next reset. A filter may hide rows: the model (and every position)
// counts the rows shown, in the same order; hidden rows stay in the list.
class ListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListModel(QObject* parent = nullptr);

    void setSource(const ListRows* source) { m_source = source; }
    void addColumn(const QString& caption);

    // Empties the list; every key handed out so far stops being valid. The filter stays.
    void clear();
    // Holds source rows 0 to count - 1, in source order, and shows those the filter lets through.
    void showSourceRows(int count);
    // Appends a row with only its first text and no tag, shown whatever the filter; returns its
    // key.
    int addRow(const QString& text);
    void removeRowAt(int position);

    // The rows shown, and the key of the row shown at a position.
    int rows() const { return static_cast<int>(m_shown.size()); }
    int keyAt(int position) const { return m_shown.at(static_cast<std::size_t>(position)); }
    // Every row of the list, shown or hidden, and the key of the n-th in their order.
    int allRows() const { return static_cast<int>(m_order.size()); }
    int keyInOrder(int index) const { return m_order.at(static_cast<std::size_t>(index)); }
    // The position of a key among the rows shown; -1 when the filter hides its row or it is not
    // (any more) in the list.
    int positionOf(int key) const;
    // Whether the key's row is in the list, shown or hidden.
    bool holds(int key) const;
    quint64 generation() const { return m_generation; }

    QString text(int key, int column) const;
    void setText(int key, int column, const QString& text);
    QVariant tag(int key) const;

    // Orders the rows by one column's texts as an operator reads them (readingCollator). Rows
    // whose texts compare equal keep the order the service sent them in, in either direction;
    // rows a page added come after the service's.
    void sortRows(int column, Qt::SortOrder order);

    // Shows only the rows in which every one of the (folded) words appears in one of the
    // columns; no words show every row. The rows' order stays. Rows a page added or changed are
    // filtered again here and on the next read, not while the page edits them.
    void setFilter(const QStringList& words, const std::vector<int>& columns);
    // The first position shown, from the top, whose text in the column begins with the (folded)
    // prefix; -1 for none. The columns are those a filter searches, folded once for both.
    int firstStartingWith(int column, const QString& prefix, const std::vector<int>& columns);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A source row the page changed: its texts in full.
    struct ChangedRow {
        int key;
        QStringList texts;
    };

    static int addedKey(std::size_t index) { return -1 - static_cast<int>(index); }
    static std::size_t addedIndex(int key) { return static_cast<std::size_t>(-1 - key); }
    QStringList* changedTexts(int key);
    const QStringList* changedTexts(int key) const;
    // Which rows the filter lets through, then the rows shown and every row's position.
    void matchRows();
    bool matches(int key, QString& scratch) const;
    void deriveShown();
    void rebuildPositions();
    const FoldedRows& foldedRows(const std::vector<int>& columns);
    // The sort keys of the source rows' texts in one column, made when the column is first
    // sorted and kept until the rows change: a sort compares keys, never texts. Where every text
    // of the column is a plain number, collation orders them by value: the values are the keys.
    struct ColumnKeys {
        bool numbersTried = false;
        std::optional<std::vector<std::uint64_t>> numbers;
        std::vector<QCollatorSortKey> collation;
    };
    const std::optional<std::vector<std::uint64_t>>& sourceNumbers(int column);
    const std::vector<QCollatorSortKey>& sourceCollationKeys(int column);
    // Orders m_order by the rows' keys (a number or a collation key each), then by rank.
    template <typename Key> void orderRows(const std::vector<Key>& keys, bool ascending);
    void forgetSourceKeys();

    const ListRows* m_source = nullptr;
    QStringList m_captions;
    // Every row in its order, and those shown.
    std::vector<int> m_order;
    std::vector<int> m_shown;
    // The position among the rows shown of each source row and of each added row (Hidden, or
    // Gone once removed), and whether the filter lets it through.
    static constexpr int Hidden = -2;
    static constexpr int Gone = -1;
    std::vector<int> m_sourcePositions;
    std::vector<int> m_addedPositions;
    std::vector<char> m_sourceMatches;
    std::vector<char> m_addedMatches;
    QStringList m_words;
    std::vector<int> m_filterColumns;
    FoldedRows m_folded;
    std::vector<QStringList> m_added;
    std::vector<ChangedRow> m_changed;
    quint64 m_generation = 1;
    QCollator m_collator;
    // By column; empty until the column is sorted.
    std::vector<ColumnKeys> m_sourceKeys;
};

} // namespace stowline::controls
