#include "AviWriter.h"

#include <QtEndian>
#include <algorithm>

namespace {

constexpr std::uint32_t hasIndexFlag = 0x10;
constexpr std::uint32_t keyFrameFlag = 0x10;

template <typename T> void appendLittleEndian(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

QByteArray chunk(const char* fourCc, const QByteArray& data) {
    QByteArray out(fourCc, 4);
    appendLittleEndian(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2 != 0) {
        out.append('\0'); // chunks start on even offsets; the size excludes the pad
    }
    return out;
}

QByteArray list(const char* type, const QByteArray& content) {
    return chunk("LIST", QByteArray(type, 4) + content);
}

std::uint32_t largestFrame(const std::vector<QByteArray>& frames) {
    qsizetype largest = 0;
    for (const QByteArray& frame : frames) {
        largest = std::max(largest, frame.size());
    }
    return static_cast<std::uint32_t>(largest);
}

QByteArray mainHeader(const std::vector<QByteArray>& frames, QSize size, int framesPerSecond) {
    QByteArray header;
    appendLittleEndian(header, static_cast<std::uint32_t>(1000000 / framesPerSecond));
    appendLittleEndian(header, largestFrame(frames) * static_cast<std::uint32_t>(framesPerSecond));
    appendLittleEndian(header, std::uint32_t(0)); // padding granularity
    appendLittleEndian(header, hasIndexFlag);
    appendLittleEndian(header, static_cast<std::uint32_t>(frames.size()));
    appendLittleEndian(header, std::uint32_t(0)); // initial frames
    appendLittleEndian(header, std::uint32_t(1)); // streams
    appendLittleEndian(header, largestFrame(frames));
    appendLittleEndian(header, static_cast<std::uint32_t>(size.width()));
    appendLittleEndian(header, static_cast<std::uint32_t>(size.height()));
    header += QByteArray(16, '\0'); // reserved
    return chunk("avih", header);
}

QByteArray streamHeader(const std::vector<QByteArray>& frames, QSize size, int framesPerSecond) {
    QByteArray header("vidsMJPG", 8);
    appendLittleEndian(header, std::uint32_t(0)); // flags
    appendLittleEndian(header, std::uint16_t(0)); // priority
    appendLittleEndian(header, std::uint16_t(0)); // language
    appendLittleEndian(header, std::uint32_t(0)); // initial frames
    appendLittleEndian(header, std::uint32_t(1)); // scale: rate / scale = frames per second
    appendLittleEndian(header, static_cast<std::uint32_t>(framesPerSecond));
    appendLittleEndian(header, std::uint32_t(0)); // start
    appendLittleEndian(header, static_cast<std::uint32_t>(frames.size()));
    appendLittleEndian(header, largestFrame(frames));
    appendLittleEndian(header, std::uint32_t(0xffffffff)); // default quality
    appendLittleEndian(header, std::uint32_t(0));          // sample size varies
    appendLittleEndian(header, std::int16_t(0));
    appendLittleEndian(header, std::int16_t(0));
    appendLittleEndian(header, static_cast<std::int16_t>(size.width()));
    appendLittleEndian(header, static_cast<std::int16_t>(size.height()));
    return chunk("strh", header);
}

QByteArray streamFormat(QSize size) {
    QByteArray format;
    appendLittleEndian(format, std::uint32_t(40));
    appendLittleEndian(format, static_cast<std::int32_t>(size.width()));
    appendLittleEndian(format, static_cast<std::int32_t>(size.height()));
    appendLittleEndian(format, std::uint16_t(1));  // planes
    appendLittleEndian(format, std::uint16_t(24)); // bits per pixel
    format += "MJPG";
    appendLittleEndian(format, static_cast<std::uint32_t>(size.width() * size.height() * 3));
    format += QByteArray(16, '\0'); // resolution and palette: unused
    return chunk("strf", format);
}

} // namespace

QByteArray writeMjpegAvi(const std::vector<QByteArray>& jpegFrames, QSize frameSize,
                         int framesPerSecond) {
    QByteArray movie;
    QByteArray index;
    for (const QByteArray& frame : jpegFrames) {
        // Index offsets count from the 'movi' type code, which precedes the first chunk.
        index += "00dc";
        appendLittleEndian(index, keyFrameFlag);
        appendLittleEndian(index, static_cast<std::uint32_t>(movie.size() + 4));
        appendLittleEndian(index, static_cast<std::uint32_t>(frame.size()));
        movie += chunk("00dc", frame);
    }
    const QByteArray headers =
        list("hdrl", mainHeader(jpegFrames, frameSize, framesPerSecond) +
                         list("strl", streamHeader(jpegFrames, frameSize, framesPerSecond) +
                                          streamFormat(frameSize)));
    return chunk("RIFF", "AVI " + headers + list("movi", movie) + chunk("idx1", index));
}
