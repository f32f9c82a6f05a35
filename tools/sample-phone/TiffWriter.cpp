#include "TiffWriter.h"

#include <QtEndian>
#include <algorithm>

namespace {

constexpr std::uint16_t stripOffsetsTag = 273;
constexpr std::uint16_t rowsPerStripTag = 278;
constexpr std::uint16_t stripByteCountsTag = 279;
constexpr std::uint16_t jpegInterchangeFormatTag = 513;
constexpr std::uint16_t jpegInterchangeFormatLengthTag = 514;

template <typename T> void appendLittleEndian(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

void patchLong(QByteArray& out, qsizetype at, std::uint32_t value) {
    qToLittleEndian(value, out.data() + at);
}

void alignToWord(QByteArray& out) {
    if (out.size() % 2 != 0) {
        out.append('\0');
    }
}

std::uint32_t offsetOf(const QByteArray& out) {
    return static_cast<std::uint32_t>(out.size());
}

// Writes `directory` at the end of `out` (followed by what it refers to); returns its offset.
std::uint32_t writeDirectory(QByteArray& out, const TiffDirectory& directory) {
    alignToWord(out);
    const std::uint32_t start = offsetOf(out);
    std::vector<TiffDirectory::Entry> entries = directory.entries();
    std::sort(entries.begin(), entries.end(),
              [](const auto& left, const auto& right) { return left.tag < right.tag; });

    appendLittleEndian(out, static_cast<std::uint16_t>(entries.size()));
    std::vector<qsizetype> valueFields;
    for (const auto& entry : entries) {
        appendLittleEndian(out, entry.tag);
        appendLittleEndian(out, static_cast<std::uint16_t>(entry.type));
        appendLittleEndian(out, entry.count);
        valueFields.push_back(out.size());
        QByteArray inlineValue = entry.value.size() <= 4 ? entry.value : QByteArray();
        inlineValue.resize(4, '\0');
        out.append(inlineValue);
    }
    appendLittleEndian(out, std::uint32_t(0)); // no next directory

    // Where each entry's values really live: inline, or appended after the table.
    std::vector<qsizetype> valueStarts;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (entries[index].value.size() <= 4) {
            valueStarts.push_back(valueFields[index]);
            continue;
        }
        alignToWord(out);
        patchLong(out, valueFields[index], offsetOf(out));
        valueStarts.push_back(out.size());
        out.append(entries[index].value);
    }

    std::uint32_t stripOffset = 0;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const auto& entry = entries[index];
        for (std::size_t child = 0; child < entry.children.size(); ++child) {
            const std::uint32_t childOffset = writeDirectory(out, entry.children[child]);
            patchLong(out, valueStarts[index] + static_cast<qsizetype>(child * 4), childOffset);
        }
        if (entry.isStripOffset) {
            if (stripOffset == 0) {
                alignToWord(out);
                stripOffset = offsetOf(out);
                out.append(directory.strip());
            }
            patchLong(out, valueStarts[index], stripOffset);
        }
    }
    return start;
}

} // namespace

void TiffDirectory::add(Entry entry) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& old) { return old.tag == entry.tag; }),
                   entries_.end());
    entries_.push_back(std::move(entry));
}

void TiffDirectory::addBytes(std::uint16_t tag, const std::vector<std::uint8_t>& values) {
    QByteArray bytes(reinterpret_cast<const char*>(values.data()),
                     static_cast<qsizetype>(values.size()));
    add({tag, TiffType::byte, static_cast<std::uint32_t>(values.size()), bytes, {}, false});
}

void TiffDirectory::addUndefined(std::uint16_t tag, const QByteArray& bytes) {
    add({tag, TiffType::undefined, static_cast<std::uint32_t>(bytes.size()), bytes, {}, false});
}

void TiffDirectory::addAscii(std::uint16_t tag, const QByteArray& text) {
    QByteArray bytes = text;
    bytes.append('\0');
    add({tag, TiffType::ascii, static_cast<std::uint32_t>(bytes.size()), bytes, {}, false});
}

void TiffDirectory::addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
    QByteArray bytes;
    for (const auto value : values) {
        appendLittleEndian(bytes, value);
    }
    add({tag, TiffType::shortValue, static_cast<std::uint32_t>(values.size()), bytes, {}, false});
}

void TiffDirectory::addLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values) {
    QByteArray bytes;
    for (const auto value : values) {
        appendLittleEndian(bytes, value);
    }
    add({tag, TiffType::longValue, static_cast<std::uint32_t>(values.size()), bytes, {}, false});
}

void TiffDirectory::addRationals(std::uint16_t tag, const std::vector<ExifRational>& values) {
    QByteArray bytes;
    for (const auto& value : values) {
        appendLittleEndian(bytes, value.numerator);
        appendLittleEndian(bytes, value.denominator);
    }
    add({tag, TiffType::rational, static_cast<std::uint32_t>(values.size()), bytes, {}, false});
}

void TiffDirectory::addSignedRationals(std::uint16_t tag,
                                       const std::vector<ExifSignedRational>& values) {
    QByteArray bytes;
    for (const auto& value : values) {
        appendLittleEndian(bytes, value.numerator);
        appendLittleEndian(bytes, value.denominator);
    }
    add({tag,
         TiffType::signedRational,
         static_cast<std::uint32_t>(values.size()),
         bytes,
         {},
         false});
}

void TiffDirectory::addDirectories(std::uint16_t tag, std::vector<TiffDirectory> directories) {
    const auto count = static_cast<std::uint32_t>(directories.size());
    add({tag, TiffType::longValue, count, QByteArray(count * 4, '\0'), std::move(directories),
         false});
}

void TiffDirectory::setStrip(QByteArray data, std::uint32_t rows) {
    const auto byteCount = static_cast<std::uint32_t>(data.size());
    strip_ = std::move(data);
    add({stripOffsetsTag, TiffType::longValue, 1, QByteArray(4, '\0'), {}, true});
    addLongs(rowsPerStripTag, {rows});
    addLongs(stripByteCountsTag, {byteCount});
}

void TiffDirectory::markStripAsJpeg() {
    add({jpegInterchangeFormatTag, TiffType::longValue, 1, QByteArray(4, '\0'), {}, true});
    addLongs(jpegInterchangeFormatLengthTag, {static_cast<std::uint32_t>(strip_.size())});
}

QByteArray writeTiff(const TiffDirectory& first) {
    QByteArray out("II");
    appendLittleEndian(out, std::uint16_t(42));
    appendLittleEndian(out, std::uint32_t(8));
    writeDirectory(out, first);
    return out;
}
