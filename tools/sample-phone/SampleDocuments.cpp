// Documents and Download: text files, PDFs, a larger binary for transfer progress, and names
// with quotes, '|', '$', back-quotes, leading dashes, Cyrillic letters and hidden prefixes.
#include "PdfWriter.h"
#include "SamplePhone.h"

#include <QTimeZone>
#include <QtEndian>
#include <random>

namespace {

QDateTime moscowTime(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone(3 * 3600));
}

void writeText(const SampleTree& tree, const QString& relativePath, const QString& text,
               const QDateTime& modified) {
    tree.writeFile(relativePath, text.toUtf8(), modified);
}

void writePdfDocument(const SampleTree& tree, const QString& relativePath, const QString& title,
                      const std::vector<PdfPage>& pages, QColor accent, const QDateTime& modified) {
    tree.writeFile(relativePath, writePdf(title, pages, accent), modified);
}

// Bytes that look like a disk image: a header line, then pseudo-random blocks.
QByteArray backupImage(qsizetype size) {
    QByteArray data("PAVREL-SAMPLE-BACKUP v1\n");
    std::mt19937 random(20240301);
    data.reserve(size);
    while (data.size() < size) {
        char word[4];
        qToLittleEndian(static_cast<std::uint32_t>(random()), word);
        data.append(word, sizeof(word));
    }
    data.truncate(size);
    return data;
}

void writeDocuments(const SampleTree& tree) {
    writeText(tree, "Documents/Shopping list.txt",
              "Shopping list\n\n- bread\n- milk (2 l)\n- apples, green\n- coffee beans\n"
              "- batteries AA x4\n",
              moscowTime(2024, 3, 2, 11, 20));
    writeText(tree, "Documents/Заметки.txt",
              "Заметки\n\n1. Позвонить в сервис насчёт ноутбука.\n"
              "2. Купить билеты в Казань на июль.\n"
              "3. Перенести фотографии с телефона на компьютер.\n",
              moscowTime(2024, 3, 4, 21, 5));
    writeText(tree, "Documents/..draft notes.txt",
              "A name that starts with two dots is an ordinary file, not the parent folder.\n",
              moscowTime(2024, 2, 18, 8, 40));
    writeText(tree, "Documents/.editor-settings", "font-size=14\ntheme=dark\n",
              moscowTime(2024, 1, 10, 19, 0));
    writePdfDocument(tree, "Documents/Boarding pass.pdf", "Boarding pass",
                     {{"Boarding pass",
                       {"Passenger: ALICE EXAMPLE", "Flight: SU 2454   Moscow (SVO) - Paris (CDG)",
                        "Date: 14 August 2023   Boarding: 09:35   Gate: D7   Seat: 14A", "",
                        "Please be at the gate 20 minutes before departure."}}},
                     QColor(0x1a, 0x3c, 0x8e), moscowTime(2023, 8, 13, 18, 12));

    const QString reports = QStringLiteral("Documents/Отчёты и договоры/");
    writePdfDocument(
        tree, reports + "Договор аренды.pdf", "Договор аренды",
        {{"Rental agreement (sample)",
          {"Landlord: I. Ivanov", "Tenant: A. Example", "Premises: flat 12, 5 Sample Street, Kazan",
           "Term: 1 April 2024 - 31 March 2025", "Monthly rent: 45,000 RUB"}},
         {"Terms",
          {"1. The rent is paid by the 5th day of each month.",
           "2. Utilities are paid by the tenant.",
           "3. Either party may end the agreement with 30 days' notice."}}},
        QColor(0x7b, 0x1f, 0xa2), moscowTime(2024, 3, 28, 15, 30));
    writePdfDocument(tree, reports + "Отчёт за март.pdf", "Отчёт за март",
                     {{"Monthly report - March 2024",
                       {"Visitors: 12,480 (+8% on February)", "Orders: 1,204", "Returns: 31 (2.6%)",
                        "", "Prepared for the sample phone."}}},
                     QColor(0x00, 0x79, 0x6b), moscowTime(2024, 4, 1, 10, 0));
    writeText(tree, reports + "Акт приёмки.txt",
              "Акт приёмки работ\n\nРаботы выполнены в полном объёме и в срок.\n"
              "Стороны претензий друг к другу не имеют.\n",
              moscowTime(2024, 4, 2, 12, 45));
}

void writeDownloads(const SampleTree& tree) {
    const QDateTime day = moscowTime(2024, 4, 10, 9, 0);
    writeText(tree, "Download/it's mine.txt", "A single quote in the name.\n", day);
    writeText(tree, "Download/a | b.txt", "A pipe in the name.\n", day.addSecs(60));
    writeText(tree, "Download/say \"hello\".txt", "Double quotes in the name.\n", day.addSecs(120));
    writeText(tree, "Download/$(id) & `uname`.txt",
              "Shell syntax in the name, which must never run.\n", day.addSecs(180));
    writeText(tree, "Download/-leading dash.txt", "A name that looks like an option.\n",
              day.addSecs(240));
    writeText(tree, "Download/two  spaces.txt", "Two spaces in a row in the name.\n",
              day.addSecs(300));
    writeText(tree, "Download/README", "A file without an extension.\n", day.addSecs(360));
    tree.writeFile("Download/Empty file.txt", {}, day.addSecs(420));
    writePdfDocument(tree, "Download/Invoice 2024-03.pdf", "Invoice 2024-03",
                     {{"Invoice No. 2024-03",
                       {"Bill to: A. Example", "Mobile plan, March 2024: 590.00 RUB",
                        "Extra data package: 150.00 RUB", "Total: 740.00 RUB"}}},
                     QColor(0xd8, 0x43, 0x15), day.addSecs(480));
    tree.writeFile("Download/Backup 2024-03-01.img", backupImage(20 * 1024 * 1024),
                   moscowTime(2024, 3, 1, 3, 0));
}

} // namespace

void writeSampleDocuments(const SampleTree& tree) {
    writeDocuments(tree);
    writeDownloads(tree);
}
