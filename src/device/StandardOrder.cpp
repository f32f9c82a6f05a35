#include "StandardOrder.h"

#include <QLocale>

namespace {

// Qt's collator ignores numeric mode in the C locale, which is what a process without LANG
// gets; such a process sorts like American English instead.
QLocale collationLocale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C) {
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return system;
}

} // namespace

StandardOrder::StandardOrder() : m_collator(collationLocale()) {
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int StandardOrder::compare(const QString& left, const QString& right) const {
    const int order = m_collator.compare(left, right);
    if (order != 0) {
        return order;
    }
    return QString::compare(left, right, Qt::CaseSensitive);
}
