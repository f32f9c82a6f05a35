#include "PdfWriter.h"

namespace {

constexpr int pageWidth = 595; // A4 in points
constexpr int pageHeight = 842;

// A PDF literal string for page text: printable Latin-1 bytes, with the delimiters and the escape
// character escaped.
QByteArray pdfString(const QString& text) {
    QByteArray out("(");
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        const bool printable = (code >= 0x20 && code < 0x7f) || (code >= 0xa0 && code <= 0xff);
        const char byte = printable ? static_cast<char>(code) : '?';
        if (byte == '(' || byte == ')' || byte == '\\') {
            out.append('\\');
        }
        out.append(byte);
    }
    out.append(')');
    return out;
}

// A PDF text string for the document's properties, in UTF-16 so that any title survives.
QByteArray pdfTextString(const QString& text) {
    QByteArray out("<FEFF");
    for (const QChar character : text) {
        out += QByteArray::number(character.unicode(), 16).rightJustified(4, '0').toUpper();
    }
    out.append('>');
    return out;
}

QByteArray number(double value) {
    return QByteArray::number(value, 'f', 3);
}

QByteArray pageContent(const PdfPage& page, QColor accent) {
    QByteArray content;
    content += number(accent.redF()) + ' ' + number(accent.greenF()) + ' ' +
               number(accent.blueF()) + " rg\n";
    content += "0 " + QByteArray::number(pageHeight - 90) + ' ' + QByteArray::number(pageWidth) +
               " 90 re f\n";
    content += "BT /F2 22 Tf 1 1 1 rg 50 " + QByteArray::number(pageHeight - 58) + " Td " +
               pdfString(page.title) + " Tj ET\n";
    content +=
        "BT /F1 11 Tf 0.15 0.15 0.15 rg 16 TL 50 " + QByteArray::number(pageHeight - 130) + " Td\n";
    for (const QString& line : page.lines) {
        content += pdfString(line) + " Tj T*\n";
    }
    content += "ET\n";
    return content;
}

class PdfObjects {
public:
    // Objects are numbered from 1 in the order they are added.
    int add(const QByteArray& body) {
        bodies_.push_back(body);
        return static_cast<int>(bodies_.size());
    }
    void replace(int number, const QByteArray& body) { bodies_[number - 1] = body; }

    QByteArray document(int catalog, int info) const {
        QByteArray out("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
        std::vector<qsizetype> offsets;
        for (std::size_t index = 0; index < bodies_.size(); ++index) {
            offsets.push_back(out.size());
            out += QByteArray::number(static_cast<int>(index + 1)) + " 0 obj\n" + bodies_[index] +
                   "\nendobj\n";
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(static_cast<int>(bodies_.size() + 1)) + "\n";
        out += "0000000000 65535 f \n";
        for (const qsizetype offset : offsets) {
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        }
        out += "trailer\n<< /Size " + QByteArray::number(static_cast<int>(bodies_.size() + 1)) +
               " /Root " + QByteArray::number(catalog) + " 0 R /Info " + QByteArray::number(info) +
               " 0 R >>\n";
        out += "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return out;
    }

private:
    std::vector<QByteArray> bodies_;
};

} // namespace

QByteArray writePdf(const QString& documentTitle, const std::vector<PdfPage>& pages,
                    QColor accent) {
    PdfObjects objects;
    const int catalog = objects.add({});
    const int pageTree = objects.add({});
    const int regular = objects.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                                    "/Encoding /WinAnsiEncoding >>");
    const int bold = objects.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold "
                                 "/Encoding /WinAnsiEncoding >>");
    QByteArray kids;
    for (const PdfPage& page : pages) {
        const QByteArray content = pageContent(page, accent);
        const int stream = objects.add("<< /Length " + QByteArray::number(content.size()) +
                                       " >>\nstream\n" + content + "endstream");
        const int pageObject =
            objects.add("<< /Type /Page /Parent " + QByteArray::number(pageTree) +
                        " 0 R /MediaBox [0 0 " + QByteArray::number(pageWidth) + ' ' +
                        QByteArray::number(pageHeight) + "] /Resources << /Font << /F1 " +
                        QByteArray::number(regular) + " 0 R /F2 " + QByteArray::number(bold) +
                        " 0 R >> >> /Contents " + QByteArray::number(stream) + " 0 R >>");
        kids += QByteArray::number(pageObject) + " 0 R ";
    }
    objects.replace(catalog,
                    "<< /Type /Catalog /Pages " + QByteArray::number(pageTree) + " 0 R >>");
    objects.replace(pageTree, "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                                  QByteArray::number(static_cast<int>(pages.size())) + " >>");
    const int info = objects.add("<< /Title " + pdfTextString(documentTitle) +
                                 " /Producer (Pavrel sample phone) >>");
    return objects.document(catalog, info);
}
