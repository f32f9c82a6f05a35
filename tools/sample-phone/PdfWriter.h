// Writes small, valid PDF documents: A4 pages with a coloured title band and lines of text
// in the standard Helvetica fonts (Latin-1 text; other characters become '?').
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

struct PdfPage {
    QString title;
    QStringList lines;
};

QByteArray writePdf(const QString& documentTitle, const std::vector<PdfPage>& pages, QColor accent);
