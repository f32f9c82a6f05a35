// The order a file manager shows names in: numbers compared by value, letters without regard
// to case, in the user's locale.
#pragma once

#include <QCollator>
#include <QString>

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
