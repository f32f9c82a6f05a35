#include "HeicWriter.h"

#include <QFile>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <stdexcept>

namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct EncoderDeleter {
    void operator()(heif_encoder* encoder) const { heif_encoder_release(encoder); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};

void check(const heif_error& error, const char* step) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(std::string("HEIC ") + step + ": " + error.message);
    }
}

std::unique_ptr<heif_image, ImageDeleter> heifImage(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    check(heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                            heif_chroma_interleaved_RGB, &image),
          "image");
    std::unique_ptr<heif_image, ImageDeleter> owned(image);
    check(heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8),
          "plane");
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride, rgb.constScanLine(y),
                    static_cast<std::size_t>(rgb.width()) * 3);
    }
    return owned;
}

} // namespace

bool heicEncoderAvailable() {
    return heif_have_encoder_for_format(heif_compression_HEVC) != 0;
}

void writeHeic(const QString& path, const QImage& picture, const QByteArray& exif) {
    if (!heicEncoderAvailable()) {
        throw std::runtime_error("This libheif has no HEVC encoder; install libheif with x265 "
                                 "support (Debian 12: libheif1, later releases: "
                                 "libheif-plugin-x265)");
    }
    std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    heif_encoder* encoder = nullptr;
    check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder),
          "encoder");
    std::unique_ptr<heif_encoder, EncoderDeleter> ownedEncoder(encoder);
    check(heif_encoder_set_lossy_quality(encoder, 70), "quality");

    const auto image = heifImage(picture);
    heif_image_handle* handle = nullptr;
    check(heif_context_encode_image(context.get(), image.get(), encoder, nullptr, &handle),
          "encoding");
    std::unique_ptr<heif_image_handle, HandleDeleter> ownedHandle(handle);
    check(heif_context_add_exif_metadata(context.get(), handle, exif.constData(),
                                         static_cast<int>(exif.size())),
          "Exif");
    check(heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()),
          "writing");
}
