// The order a file manager shows names in: numbers compared by value, letters without regard
// to case, in the user's locale.
#pragma once

#include <QCollator>
#include <QList>
#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

class StandardOrder {
public:
    StandardOrder();

    // Negative, zero or positive like strcmp; names equal to the collator fall back to their
    // code points so that the order never depends on the input order.
    int compare(const QString& left, const QString& right) const;
    bool lessThan(const QString& left, const QString& right) const {
        return compare(left, right) < 0;
    }

    QCollatorSortKey sortKey(const QString& text) const { return m_collator.sortKey(text); }

private:
    QCollator m_collator;
};

// Folders before files, then by the text `key` gives, in the standard order. Sort keys are
// computed once per item, which matters for folders of thousands of entries.
template <typename Item, typename Key, typename IsFolder>
void sortFoldersFirst(QList<Item>& items, Key key, IsFolder isFolder) {
    const StandardOrder order;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const Item& item : items) {
        keys.push_back(order.sortKey(key(item)));
    }
    std::vector<qsizetype> positions(items.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::sort(positions.begin(), positions.end(), [&](qsizetype left, qsizetype right) {
        const bool leftIsFolder = isFolder(items.at(left));
        if (leftIsFolder != isFolder(items.at(right))) {
            return leftIsFolder;
        }
        if (const int byKey = keys[left].compare(keys[right]); byKey != 0) {
            return byKey < 0;
        }
        return QString::compare(key(items.at(left)), key(items.at(right))) < 0;
    });
    QList<Item> sorted;
    sorted.reserve(items.size());
    for (const qsizetype position : positions) {
        sorted.append(items.at(position));
    }
    items = std::move(sorted);
}
