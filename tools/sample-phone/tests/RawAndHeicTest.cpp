// The raw and HEIC photos open in the libraries a viewer uses: LibRaw develops the DNG into
// the scene it was made from, Exiv2 finds the DNG's JPEG preview, libheif decodes the HEIC.
#include "SampleReading.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <libheif/heif.h>
#include <libraw/libraw.h>
#include <memory>

namespace {

const QString dngPath = "DCIM/Camera/PXL_20230702_172015000.dng";
const QString dngSceneJpeg = "DCIM/Camera/PXL_20230702_172011000.jpg"; // same city, same painter
const QString heicPath = "DCIM/Camera/PXL_20231028_190306000.heic";
const QString heicSceneJpeg = "DCIM/Camera/PXL_20231028_190257000.jpg";

// Areas of the picture that are flat colour in every city scene: high sky, and the water.
const QRectF comparedAreas[] = {
    {0.02, 0.02, 0.1, 0.05}, {0.45, 0.02, 0.1, 0.05}, {0.85, 0.02, 0.1, 0.05},
    {0.05, 0.86, 0.2, 0.03}, {0.75, 0.86, 0.2, 0.03},
};

// `actual` shows the same scene as `reference` (a JPEG of it, possibly another size).
void expectSameScene(const QImage& actual, const QImage& reference, int tolerance) {
    ASSERT_FALSE(actual.isNull());
    ASSERT_FALSE(reference.isNull());
    for (const QRectF& area : comparedAreas) {
        const QColor expected = meanColour(reference, area);
        const QColor found = meanColour(actual, area);
        EXPECT_LE(colourDistance(found, expected), tolerance)
            << "area " << area.x() << "," << area.y() << ": expected "
            << expected.name().toStdString() << ", found " << found.name().toStdString();
    }
}

QImage sceneOf(const QString& relativeJpeg) {
    return QImageReader(samplePhonePath(relativeJpeg)).read();
}

TEST(RawPhoto, LibRawDevelopsTheDngIntoItsScene) {
    auto raw = std::make_unique<LibRaw>();
    ASSERT_EQ(raw->open_file(QFile::encodeName(samplePhonePath(dngPath)).constData()),
              LIBRAW_SUCCESS);
    EXPECT_STREQ(raw->imgdata.idata.make, "Google");
    EXPECT_STREQ(raw->imgdata.idata.model, "Pixel 8");
    EXPECT_TRUE(raw->imgdata.idata.dng_version != 0);
    EXPECT_EQ(raw->imgdata.sizes.raw_width, 1200);
    EXPECT_EQ(raw->imgdata.sizes.raw_height, 900);
    ASSERT_EQ(raw->unpack(), LIBRAW_SUCCESS);

    // Linear sRGB with no white balance or brightness guesses: what the mosaic holds.
    raw->imgdata.params.use_camera_wb = 1;
    raw->imgdata.params.no_auto_bright = 1;
    raw->imgdata.params.output_color = 1;
    raw->imgdata.params.gamm[0] = 1 / 2.4;
    raw->imgdata.params.gamm[1] = 12.92;
    ASSERT_EQ(raw->dcraw_process(), LIBRAW_SUCCESS);
    int error = 0;
    libraw_processed_image_t* developed = raw->dcraw_make_mem_image(&error);
    ASSERT_NE(developed, nullptr) << error;
    std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> owned(
        developed, LibRaw::dcraw_clear_mem);
    ASSERT_EQ(developed->type, LIBRAW_IMAGE_BITMAP);
    ASSERT_EQ(developed->colors, 3);
    ASSERT_EQ(developed->bits, 8);
    const QImage image(developed->data, developed->width, developed->height, developed->width * 3,
                       QImage::Format_RGB888);
    EXPECT_EQ(image.size(), QSize(1200, 900));
    // A swapped colour filter or wrong black and white levels moves these colours far.
    expectSameScene(image, sceneOf(dngSceneJpeg), 24);
}

TEST(RawPhoto, Exiv2FindsTheEmbeddedJpegPreview) {
    auto image =
        Exiv2::ImageFactory::open(QFile::encodeName(samplePhonePath(dngPath)).toStdString());
    image->readMetadata();
    Exiv2::PreviewManager previews(*image);
    const Exiv2::PreviewPropertiesList list = previews.getPreviewProperties();
    ASSERT_FALSE(list.empty());
    // Exiv2 also offers the preview wrapped in TIFF; viewers want the plain JPEG.
    const auto jpeg = std::find_if(list.begin(), list.end(), [](const auto& properties) {
        return properties.mimeType_ == "image/jpeg";
    });
    ASSERT_NE(jpeg, list.end());
    EXPECT_EQ(jpeg->width_, 1024u);
    EXPECT_EQ(jpeg->height_, 768u);

    const Exiv2::PreviewImage preview = previews.getPreviewImage(*jpeg);
    const QImage decoded =
        QImage::fromData(preview.pData(), static_cast<int>(preview.size()), "JPEG");
    EXPECT_EQ(decoded.size(), QSize(1024, 768));
    expectSameScene(decoded, sceneOf(dngSceneJpeg), 12);
}

TEST(HeicPhoto, LibheifDecodesTheScene) {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                        heif_context_free);
    const heif_error read = heif_context_read_from_file(
        context.get(), QFile::encodeName(samplePhonePath(heicPath)).constData(), nullptr);
    ASSERT_EQ(read.code, heif_error_Ok) << read.message;
    heif_image_handle* handle = nullptr;
    ASSERT_EQ(heif_context_get_primary_image_handle(context.get(), &handle).code, heif_error_Ok);
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> ownedHandle(
        handle, heif_image_handle_release);
    EXPECT_EQ(heif_image_handle_get_width(handle), 1280);
    EXPECT_EQ(heif_image_handle_get_height(handle), 960);

    heif_image* decoded = nullptr;
    const heif_error decoding = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                                  heif_chroma_interleaved_RGB, nullptr);
    ASSERT_EQ(decoding.code, heif_error_Ok) << decoding.message;
    std::unique_ptr<heif_image, decltype(&heif_image_release)> ownedImage(decoded,
                                                                          heif_image_release);
    int stride = 0;
    const std::uint8_t* pixels =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    ASSERT_NE(pixels, nullptr);
    const QImage image(pixels, 1280, 960, stride, QImage::Format_RGB888);
    expectSameScene(image, sceneOf(heicSceneJpeg), 12);
}

} // namespace
