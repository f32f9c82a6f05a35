#include "SamplePhone.h"

#include <QTimeZone>

void writeSamplePhone(const SampleTree& tree) {
    writeSystemFolders(tree);
    writeSamplePhotos(tree);
    writeSampleDocuments(tree);
    writeSampleMusic(tree);
    writeSampleMovie(tree);
    writeNotesArchive(tree);
    tree.settleFolderTimes(QDateTime(QDate(2023, 1, 15), QTime(9, 0), QTimeZone::utc()));
}
