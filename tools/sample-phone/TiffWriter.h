// A small writer of little-endian TIFF files: directories of tagged values, nested
// directories (SubIFDs, Exif, GPS) and one strip of image data per directory.
#pragma once

#include "ExifValues.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

enum class TiffType : std::uint16_t {
    byte = 1,
    ascii = 2,
    shortValue = 3,
    longValue = 4,
    rational = 5,
    undefined = 7,
    signedRational = 10,
};

class TiffDirectory {
public:
    void addBytes(std::uint16_t tag, const std::vector<std::uint8_t>& values);
    void addUndefined(std::uint16_t tag, const QByteArray& bytes);
    void addAscii(std::uint16_t tag, const QByteArray& text); // the terminating NUL is added
    void addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
    void addLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
    void addRationals(std::uint16_t tag, const std::vector<ExifRational>& values);
    void addSignedRationals(std::uint16_t tag, const std::vector<ExifSignedRational>& values);

    // A tag whose LONG values are the offsets of the given directories (SubIFDs, Exif, GPS).
    void addDirectories(std::uint16_t tag, std::vector<TiffDirectory> directories);

    // The directory's image data as a single strip: StripOffsets, RowsPerStrip and
    // StripByteCounts are added here.
    void setStrip(QByteArray data, std::uint32_t rows);

    // Also points JPEGInterchangeFormat and its length at the strip, for readers that look for
    // JPEG previews only there.
    void markStripAsJpeg();

    struct Entry {
        std::uint16_t tag = 0;
        TiffType type = TiffType::byte;
        std::uint32_t count = 0;
        QByteArray value;                    // little-endian, as stored
        std::vector<TiffDirectory> children; // for directory offsets
        bool isStripOffset = false;
    };

    const std::vector<Entry>& entries() const { return entries_; }
    const QByteArray& strip() const { return strip_; }

private:
    void add(Entry entry);

    std::vector<Entry> entries_;
    QByteArray strip_;
};

// The whole file: header, then `first` and everything it refers to.
QByteArray writeTiff(const TiffDirectory& first);
