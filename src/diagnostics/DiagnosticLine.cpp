#include "DiagnosticLine.h"

#include <QTextBoundaryFinder>

namespace {
// Cuts after `count` grapheme clusters so that a surrogate pair or a letter with its
// combining accent is never split into invalid or misleading text.
QString leadingCharacters(const QString& text, int count) {
    if (text.size() <= count) {
        return text;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int taken = 0;
    while (taken < count && finder.toNextBoundary() != -1) {
        ++taken;
    }
    return finder.position() == -1 ? text : text.left(finder.position());
}
} // namespace

QString cleanDiagnosticValue(const QString& value) {
    QString cleaned = value;
    cleaned.replace(QLatin1Char('\n'), QLatin1Char(' '));
    cleaned.replace(QLatin1Char('\r'), QLatin1Char(' '));
    cleaned.replace(QLatin1Char('='), QLatin1Char('-'));
    return leadingCharacters(cleaned, diagnosticValueLength);
}

QString formatDiagnosticLine(const QDateTime& time, const QString& event,
                             const DiagnosticFields& fields) {
    QString line = time.toUTC().toString(Qt::ISODate);
    line += QLatin1Char(' ');
    line += event;
    // QMap iterates in ascending key order, which is the ordinal order of QString.
    for (auto field = fields.cbegin(); field != fields.cend(); ++field) {
        line += QLatin1Char(' ');
        line += field.key();
        line += QLatin1Char('=');
        line += cleanDiagnosticValue(field.value());
    }
    line += QLatin1Char('\n');
    return line;
}
