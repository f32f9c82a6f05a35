// The formats we write by hand hold together: every PDF's cross-reference table points at its
// objects, every WAV's chunk sizes match its length, and the film's index points at frames.
#include "SampleReading.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList samplesEndingWith(const QString& extension) {
    QStringList paths;
    QDirIterator iterator(samplePhonePath(), {"*" + extension}, QDir::Files | QDir::Hidden,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        paths.append(iterator.next());
    }
    return paths;
}

TEST(ContainerFormats, PdfCrossReferencesPointAtTheirObjects) {
    const QStringList pdfs = samplesEndingWith(".pdf");
    ASSERT_FALSE(pdfs.isEmpty());
    for (const QString& path : pdfs) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray pdf = readBytes(path);
        ASSERT_TRUE(pdf.startsWith("%PDF-1."));
        ASSERT_TRUE(pdf.endsWith("%%EOF\n"));
        const qsizetype startxref = pdf.lastIndexOf("startxref\n");
        ASSERT_GT(startxref, 0);
        const qsizetype xref = pdf.mid(startxref + 10).split('\n').first().toLongLong();
        ASSERT_EQ(pdf.mid(xref, 5), "xref\n");

        const QList<QByteArray> lines = pdf.mid(xref).split('\n');
        const int objectCount = lines.at(1).split(' ').at(1).toInt();
        ASSERT_GT(objectCount, 3);
        for (int number = 1; number < objectCount; ++number) {
            const QByteArray entry = lines.at(2 + number);
            ASSERT_EQ(entry.size(), 19) << "entries are 20 bytes with the newline";
            const qsizetype offset = entry.left(10).toLongLong();
            EXPECT_EQ(pdf.mid(offset, QByteArray::number(number).size() + 6),
                      QByteArray::number(number) + " 0 obj");
        }
        // Each content stream's /Length is the length of what lies between its keywords.
        const QRegularExpression stream("<< /Length (\\d+) >>\nstream\n");
        auto matches = stream.globalMatch(QString::fromLatin1(pdf));
        ASSERT_TRUE(matches.hasNext());
        while (matches.hasNext()) {
            const auto match = matches.next();
            const qsizetype start = match.capturedEnd();
            EXPECT_EQ(pdf.mid(start + match.captured(1).toLongLong(), 9), "endstream");
        }
    }
}

TEST(ContainerFormats, WavChunksMatchTheFileLength) {
    const QStringList tunes = samplesEndingWith(".wav");
    ASSERT_GE(tunes.size(), 4);
    for (const QString& path : tunes) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray wav = readBytes(path);
        ASSERT_GT(wav.size(), 44);
        EXPECT_EQ(wav.left(4), "RIFF");
        EXPECT_EQ(littleEndian32(wav, 4), static_cast<std::uint32_t>(wav.size() - 8));
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(littleEndian16(wav, 20), 1) << "PCM";
        const std::uint16_t channels = littleEndian16(wav, 22);
        const std::uint32_t rate = littleEndian32(wav, 24);
        const std::uint16_t bits = littleEndian16(wav, 34);
        EXPECT_EQ(littleEndian32(wav, 28), rate * channels * bits / 8) << "byte rate";
        EXPECT_EQ(wav.mid(36, 4), "data");
        EXPECT_EQ(littleEndian32(wav, 40), static_cast<std::uint32_t>(wav.size() - 44));
        EXPECT_GT(littleEndian32(wav, 40), rate) << "at least half a second of sound";
    }
}

TEST(ContainerFormats, FilmIndexPointsAtDecodableFrames) {
    const QByteArray avi = readBytes(samplePhonePath("Movies/White nights.avi"));
    ASSERT_EQ(avi.left(4), "RIFF");
    ASSERT_EQ(avi.mid(8, 4), "AVI ");
    EXPECT_EQ(littleEndian32(avi, 4), static_cast<std::uint32_t>(avi.size() - 8));

    const qsizetype movi = avi.indexOf("movi");
    const qsizetype index = avi.lastIndexOf("idx1");
    ASSERT_GT(movi, 0);
    ASSERT_GT(index, movi);
    const std::uint32_t entries = littleEndian32(avi, index + 4) / 16;
    const qsizetype avih = avi.indexOf("avih");
    EXPECT_EQ(littleEndian32(avi, avih + 8 + 16), entries) << "total frames";
    ASSERT_GT(entries, 0u);
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        const qsizetype at = index + 8 + entry * 16;
        ASSERT_EQ(avi.mid(at, 4), "00dc");
        const qsizetype chunk = movi + littleEndian32(avi, at + 8);
        ASSERT_EQ(avi.mid(chunk, 4), "00dc") << "frame " << entry;
        const std::uint32_t size = littleEndian32(avi, at + 12);
        ASSERT_EQ(littleEndian32(avi, chunk + 4), size);
        const QImage frame = QImage::fromData(avi.mid(chunk + 8, size), "JPEG");
        ASSERT_EQ(frame.size(), QSize(640, 360)) << "frame " << entry;
    }
}

} // namespace
