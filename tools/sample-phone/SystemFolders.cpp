// The folders every Android phone has, the app-private Android/ tree, and the folder of many
// small files that makes listing speed visible.
#include "SamplePhone.h"

#include <QTimeZone>

void writeSystemFolders(const SampleTree& tree) {
    for (const char* folder :
         {"Alarms", "Audiobooks", "Podcasts", "Recordings", "Android/obb", "Documents", "Download",
          "Movies", "Music", "Notifications", "Pictures", "Ringtones", "DCIM/Camera"}) {
        tree.makeFolder(folder);
    }
    const QDateTime setUp(QDate(2023, 1, 15), QTime(9, 12), QTimeZone(3 * 3600));
    tree.writeFile("Android/data/.nomedia", {}, setUp);
    tree.writeFile("Android/data/org.example.notes/files/state.json",
                   "{\n  \"lastOpened\": \"Shopping list\",\n  \"sort\": \"date\"\n}\n",
                   setUp.addDays(40));
    tree.writeFile("Android/data/org.example.notes/cache/thumbnail-cache.bin",
                   QByteArray(4096, '\x5a'), setUp.addDays(41));
    tree.writeFile("Android/media/org.example.messenger/Media/Images/.nomedia", {},
                   setUp.addDays(3));
}

void writeNotesArchive(const SampleTree& tree) {
    const QDateTime first(QDate(2022, 3, 1), QTime(8, 0), QTimeZone(3 * 3600));
    for (int number = 1; number <= notesArchiveSize; ++number) {
        const QString name = QStringLiteral("note-%1.txt").arg(number, 5, 10, QLatin1Char('0'));
        const QString text = QStringLiteral("Note %1\nWritten on day %2 of the archive.\n")
                                 .arg(number)
                                 .arg(number / 24 + 1);
        tree.writeFile(QString(notesArchiveFolder) + '/' + name, text.toUtf8(),
                       first.addSecs(static_cast<qint64>(number) * 3600));
    }
}
