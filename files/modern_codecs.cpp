#include "files/modern_codecs.h"
#include "files/reasons.h"

#include "files/colour_profile.h"

#include <libheif/heif.h>
#include <jxl/decode.h>
#include <jxl/encode.h>
#include <jxl/thread_parallel_runner.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace ombrik {

namespace {

bool SizeAllowed(int64_t width, int64_t height, int64_t maxSide, int64_t maxPixels)
{
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide && width * height <= maxPixels;
}

// The EXIF block inside HEIF starts with a 4-byte big-endian offset to its
// TIFF header; JPEG XL's "Exif" box the same.
void AddOffsetExif(PhotoMetadata& metadata, const std::vector<uint8_t>& box, const std::string& xmp)
{
    const uint8_t* exif = nullptr;
    size_t size = 0;
    if (box.size() > 4) {
        const uint32_t offset = (uint32_t(box[0]) << 24) | (uint32_t(box[1]) << 16) | (uint32_t(box[2]) << 8) | box[3];
        if (offset < box.size() - 4) {
            exif = box.data() + 4 + offset;
            size = box.size() - 4 - offset;
        } else {
            metadata.notes.push_back("the EXIF block is damaged and was not kept");
        }
    }
    AddMetadataBlocks(metadata, exif, size, xmp);
}

// Copies 3-byte blue, green, red rows into red, green, blue rows.
void BgrToRgb(const PixelBuffer& picture, uint8_t* out, size_t outStride)
{
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* in = picture.data() + size_t(y) * picture.stride();
        uint8_t* row = out + size_t(y) * outStride;
        for (int x = 0; x < picture.width; ++x, in += 3, row += 3) {
            row[0] = in[2];
            row[1] = in[1];
            row[2] = in[0];
        }
    }
}

struct HeifContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HeifHandleRelease {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct HeifImageRelease {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct HeifEncoderRelease {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};

std::vector<uint8_t> HeifMetadata(heif_image_handle* handle, const char* type, const char* contentType)
{
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
    if (count <= 0)
        return {};
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
    for (heif_item_id id : ids) {
        if (contentType) {
            const char* content = heif_image_handle_get_metadata_content_type(handle, id);
            if (!content || std::strcmp(content, contentType) != 0)
                continue;
        }
        const size_t size = heif_image_handle_get_metadata_size(handle, id);
        if (size == 0 || size > (4u << 20))
            continue;
        std::vector<uint8_t> bytes(size);
        if (heif_image_handle_get_metadata(handle, id, bytes.data()).code == heif_error_Ok)
            return bytes;
    }
    return {};
}

heif_error WriteToVector(heif_context*, const void* data, size_t size, void* userdata)
{
    auto* out = static_cast<std::vector<uint8_t>*>(userdata);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

struct JxlDecoderFree {
    void operator()(JxlDecoder* d) const { JxlDecoderDestroy(d); }
};
struct JxlEncoderFree {
    void operator()(JxlEncoder* e) const { JxlEncoderDestroy(e); }
};
struct JxlRunnerFree {
    void operator()(void* r) const { JxlThreadParallelRunnerDestroy(r); }
};

// The metadata boxes of a JPEG XL container, wherever they are in the file.
struct JxlMetadataBoxes {
    std::vector<uint8_t> exif;  // the Exif box's contents (offset, then the TIFF header)
    std::vector<uint8_t> xmp;
    bool broken = false;        // the box structure is cut short or damaged
    bool tooLarge = false;      // a metadata box over the limit was left out
    bool jpegReconstruction = false;  // a "jbrd" box: the picture is a repacked JPEG's
};

// Walks the boxes with libjxl, decompressing "brob" boxes, without decoding
// the codestream: Exif and XMP boxes may come before or after the picture
// data, and an animation's other frames are not decoded to reach them.
JxlMetadataBoxes ReadJxlBoxes(const uint8_t* data, size_t size)
{
    JxlMetadataBoxes out;
    std::unique_ptr<JxlDecoder, JxlDecoderFree> decoder(JxlDecoderCreate(nullptr));
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BOX) != JXL_DEC_SUCCESS
        || JxlDecoderSetDecompressBoxes(decoder.get(), JXL_TRUE) != JXL_DEC_SUCCESS
        || JxlDecoderSetInput(decoder.get(), data, size) != JXL_DEC_SUCCESS) {
        out.broken = true;
        return out;
    }
    JxlDecoderCloseInput(decoder.get());
    constexpr size_t kBoxChunk = 65536;
    constexpr size_t kMaxBox = 4u << 20;
    std::vector<uint8_t>* box = nullptr;  // the box being read
    auto finishBox = [&] {
        if (!box)
            return;
        const size_t left = JxlDecoderReleaseBoxBuffer(decoder.get());
        box->resize(box->size() - left);
        box = nullptr;
    };
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
        if (status == JXL_DEC_SUCCESS) {
            finishBox();
            break;
        }
        if (status == JXL_DEC_BOX) {
            finishBox();
            JxlBoxType type;
            if (JxlDecoderGetBoxType(decoder.get(), type, JXL_TRUE) != JXL_DEC_SUCCESS)
                continue;
            if (std::memcmp(type, "Exif", 4) == 0 && out.exif.empty())
                box = &out.exif;
            else if (std::memcmp(type, "xml ", 4) == 0 && out.xmp.empty())
                box = &out.xmp;
            else if (std::memcmp(type, "jbrd", 4) == 0)
                out.jpegReconstruction = true;
            if (box) {
                box->resize(kBoxChunk);
                JxlDecoderSetBoxBuffer(decoder.get(), box->data(), box->size());
            }
            continue;
        }
        if (status == JXL_DEC_BOX_NEED_MORE_OUTPUT && box) {
            const size_t used = box->size() - JxlDecoderReleaseBoxBuffer(decoder.get());
            if (box->size() + kBoxChunk > kMaxBox) {
                // Left out; the boxes after it are still read.
                JxlDecoderReleaseBoxBuffer(decoder.get());
                box->clear();
                box = nullptr;
                out.tooLarge = true;
                continue;
            }
            box->resize(box->size() + kBoxChunk);
            JxlDecoderSetBoxBuffer(decoder.get(), box->data() + used, box->size() - used);
            continue;
        }
        // Cut short or damaged: a box read only in part is not kept.
        if (box) {
            JxlDecoderReleaseBoxBuffer(decoder.get());
            box->clear();
            box = nullptr;
        }
        out.broken = true;
        break;
    }
    return out;
}

bool IsSrgbEncoding(const JxlColorEncoding& e)
{
    return e.color_space == JXL_COLOR_SPACE_RGB && e.white_point == JXL_WHITE_POINT_D65
        && e.primaries == JXL_PRIMARIES_SRGB && e.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

} // namespace

bool DecodeHeif(const uint8_t* data, size_t size, int64_t maxSide, int64_t maxPixels, DecodedPicture& out)
{
    std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    if (!context) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the HEIF decoder could not start");
        return false;
    }
    heif_context_set_maximum_image_size_limit(context.get(), int(maxSide));
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr);
    if (error.code != heif_error_Ok) {
        out.error = std::string("the HEIF file is damaged: ") + (error.message ? error.message : "");
        return false;
    }
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    std::unique_ptr<heif_image_handle, HeifHandleRelease> handle(rawHandle);
    if (error.code != heif_error_Ok || !handle) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the HEIF file has no picture");
        return false;
    }
    if (!SizeAllowed(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()), maxSide,
                     maxPixels)) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is too large");
        return false;
    }

    PhotoMetadata& metadata = out.metadata;
    switch (heif_image_handle_get_color_profile_type(handle.get())) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const size_t iccSize = heif_image_handle_get_raw_color_profile_size(handle.get());
        if (iccSize > 0 && iccSize <= (16u << 20)) {
            metadata.icc.resize(iccSize);
            if (heif_image_handle_get_raw_color_profile(handle.get(), metadata.icc.data()).code != heif_error_Ok)
                metadata.icc.clear();
        }
        metadata.hadProfile = true;
        break;
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx* nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle.get(), &nclx).code == heif_error_Ok && nclx) {
            metadata.icc = ProfileFromCodedColour(int(nclx->color_primaries), int(nclx->transfer_characteristics));
            heif_nclx_color_profile_free(nclx);
        }
        metadata.hadProfile = true;
        break;
    }
    default: break;
    }
    const std::vector<uint8_t> exif = HeifMetadata(handle.get(), "Exif", nullptr);
    const std::vector<uint8_t> xmpBytes = HeifMetadata(handle.get(), "mime", "application/rdf+xml");
    AddOffsetExif(metadata, exif, std::string(xmpBytes.begin(), xmpBytes.end()));

    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    std::unique_ptr<heif_image, HeifImageRelease> image(rawImage);
    if (error.code != heif_error_Ok || !image) {
        out.error = std::string("the HEIF picture could not be decoded: ") + (error.message ? error.message : "");
        return false;
    }
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (!plane || !SizeAllowed(width, height, maxSide, maxPixels) || stride < width * 3) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the HEIF picture could not be decoded");
        return false;
    }
    QImage result(width, height, QImage::Format_RGB888);
    if (result.isNull()) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "not enough memory for the picture");
        return false;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(result.scanLine(y), plane + size_t(y) * size_t(stride), size_t(width) * 3);
    out.image = std::move(result);
    return true;
}

bool DecodeJxl(const uint8_t* data, size_t size, int64_t maxSide, int64_t maxPixels, DecodedPicture& out)
{
    std::unique_ptr<JxlDecoder, JxlDecoderFree> decoder(JxlDecoderCreate(nullptr));
    std::unique_ptr<void, JxlRunnerFree> runner(JxlThreadParallelRunnerCreate(nullptr, 2));
    if (!decoder || !runner) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the JPEG XL decoder could not start");
        return false;
    }
    JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get());
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE)
        != JXL_DEC_SUCCESS) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the JPEG XL decoder could not start");
        return false;
    }
    JxlDecoderSetInput(decoder.get(), data, size);
    JxlDecoderCloseInput(decoder.get());

    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlBasicInfo info{};
    QImage image;
    std::vector<uint8_t> pixels;
    bool haveImage = false;

    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
        if (status == JXL_DEC_ERROR || status == JXL_DEC_NEED_MORE_INPUT) {
            if (haveImage)
                break;  // a damaged tail after the first frame
            out.error = status == JXL_DEC_ERROR ? QT_TRANSLATE_NOOP("Reasons", "the JPEG XL file is damaged") : QT_TRANSLATE_NOOP("Reasons", "the JPEG XL file is cut short");
            return false;
        }
        if (status == JXL_DEC_SUCCESS)
            break;
        switch (status) {
        case JXL_DEC_BASIC_INFO:
            if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS
                || !SizeAllowed(info.xsize, info.ysize, maxSide, maxPixels)) {
                out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is too large");
                return false;
            }
            break;
        case JXL_DEC_COLOR_ENCODING: {
            JxlColorEncoding encoding{};
            const bool encoded = JxlDecoderGetColorAsEncodedProfile(decoder.get(), &format,
                                                                    JXL_COLOR_PROFILE_TARGET_DATA, &encoding)
                == JXL_DEC_SUCCESS;
            if (encoded && IsSrgbEncoding(encoding))
                break;
            if (encoded && encoding.color_space == JXL_COLOR_SPACE_GRAY && encoding.white_point == JXL_WHITE_POINT_D65
                && encoding.transfer_function == JXL_TRANSFER_FUNCTION_SRGB)
                break;
            size_t iccSize = 0;
            if (JxlDecoderGetICCProfileSize(decoder.get(), &format, JXL_COLOR_PROFILE_TARGET_DATA, &iccSize)
                    == JXL_DEC_SUCCESS
                && iccSize > 0 && iccSize <= (16u << 20)) {
                out.metadata.icc.resize(iccSize);
                if (JxlDecoderGetColorAsICCProfile(decoder.get(), &format, JXL_COLOR_PROFILE_TARGET_DATA,
                                                   out.metadata.icc.data(), iccSize)
                    != JXL_DEC_SUCCESS)
                    out.metadata.icc.clear();
            }
            out.metadata.hadProfile = true;
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t bufferSize = 0;
            if (JxlDecoderImageOutBufferSize(decoder.get(), &format, &bufferSize) != JXL_DEC_SUCCESS
                || bufferSize != size_t(info.xsize) * info.ysize * 3) {
                out.error = QT_TRANSLATE_NOOP("Reasons", "the JPEG XL picture could not be decoded");
                return false;
            }
            pixels.resize(bufferSize);
            if (JxlDecoderSetImageOutBuffer(decoder.get(), &format, pixels.data(), pixels.size()) != JXL_DEC_SUCCESS) {
                out.error = QT_TRANSLATE_NOOP("Reasons", "the JPEG XL picture could not be decoded");
                return false;
            }
            break;
        }
        case JXL_DEC_FULL_IMAGE: haveImage = true; break;
        default: break;
        }
        // Only the first frame is wanted.
        if (haveImage)
            break;
    }
    if (!haveImage) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the JPEG XL file has no picture");
        return false;
    }
    const JxlMetadataBoxes boxes = ReadJxlBoxes(data, size);
    if (boxes.tooLarge)
        out.metadata.notes.push_back("a metadata block is too large and was not kept");
    if (boxes.broken)
        out.metadata.notes.push_back("part of the JPEG XL file is damaged; its metadata may be incomplete");
    AddOffsetExif(out.metadata, boxes.exif, std::string(boxes.xmp.begin(), boxes.xmp.end()));
    // Lossless JPEG XL keeps the original colour space rather than the
    // perceptual one lossy coding works in (the same sign the reference
    // tools go by); a repacked JPEG is as lossy as that JPEG was.
    out.metadata.sourceLossless = info.uses_original_profile && !boxes.jpegReconstruction;
    image = QImage(int(info.xsize), int(info.ysize), QImage::Format_RGB888);
    if (image.isNull()) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "not enough memory for the picture");
        return false;
    }
    const size_t rowBytes = size_t(info.xsize) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), pixels.data() + size_t(y) * rowBytes, rowBytes);
    out.image = std::move(image);
    return true;
}

bool EncodeWebp(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out)
{
    out.clear();
    if (picture.bytesPerPixel != 3 || picture.empty() || picture.width > WEBP_MAX_DIMENSION
        || picture.height > WEBP_MAX_DIMENSION)
        return false;
    uint8_t* encoded = nullptr;
    const size_t size = extras.lossless
        ? WebPEncodeLosslessBGR(picture.data(), picture.width, picture.height, int(picture.stride()), &encoded)
        : WebPEncodeBGR(picture.data(), picture.width, picture.height, int(picture.stride()),
                        float(std::clamp(extras.quality, 0, 100)), &encoded);
    if (size == 0 || !encoded) {
        WebPFree(encoded);
        return false;
    }
    if (!extras.icc || extras.icc->empty()) {
        out.assign(encoded, encoded + size);
        WebPFree(encoded);
        return true;
    }
    // The profile goes into an ICCP chunk beside the bitstream.
    WebPMux* mux = WebPMuxNew();
    const WebPData image{encoded, size};
    const WebPData profile{extras.icc->data(), extras.icc->size()};
    WebPData assembled{nullptr, 0};
    const bool ok = mux && WebPMuxSetImage(mux, &image, 1) == WEBP_MUX_OK
        && WebPMuxSetChunk(mux, "ICCP", &profile, 1) == WEBP_MUX_OK && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK;
    if (ok)
        out.assign(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    WebPFree(encoded);
    return ok;
}

bool EncodeAvif(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out)
{
    out.clear();
    if (picture.bytesPerPixel != 3 || picture.empty())
        return false;
    std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    if (!context
        || heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &rawEncoder).code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_encoder, HeifEncoderRelease> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), std::clamp(extras.quality, 0, 100));
    // The encoder's default speed takes many seconds per photo.
    heif_encoder_set_parameter_integer(encoder.get(), "speed", 7);

    heif_image* rawImage = nullptr;
    if (heif_image_create(picture.width, picture.height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &rawImage)
            .code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_image, HeifImageRelease> image(rawImage);
    if (heif_image_add_plane(image.get(), heif_channel_interleaved, picture.width, picture.height, 8).code
        != heif_error_Ok)
        return false;
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    if (!plane)
        return false;
    BgrToRgb(picture, plane, size_t(stride));
    if (extras.icc && !extras.icc->empty())
        heif_image_set_raw_color_profile(image.get(), "prof", extras.icc->data(), extras.icc->size());

    heif_image_handle* rawHandle = nullptr;
    if (heif_context_encode_image(context.get(), image.get(), encoder.get(), nullptr, &rawHandle).code
        != heif_error_Ok)
        return false;
    std::unique_ptr<heif_image_handle, HeifHandleRelease> handle(rawHandle);
    if (extras.metadata) {
        if (!extras.metadata->exif.empty())
            heif_context_add_exif_metadata(context.get(), handle.get(), extras.metadata->exif.data(),
                                           int(extras.metadata->exif.size()));
        if (!extras.metadata->xmp.empty())
            heif_context_add_XMP_metadata(context.get(), handle.get(), extras.metadata->xmp.data(),
                                          int(extras.metadata->xmp.size()));
    }
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = WriteToVector;
    if (heif_context_write(context.get(), &writer, &out).code != heif_error_Ok) {
        out.clear();
        return false;
    }
    return !out.empty();
}

bool EncodeJxl(const PixelBuffer& picture, const EncodeExtras& extras, std::vector<uint8_t>& out)
{
    out.clear();
    if (picture.bytesPerPixel != 3 || picture.empty())
        return false;
    std::unique_ptr<JxlEncoder, JxlEncoderFree> encoder(JxlEncoderCreate(nullptr));
    std::unique_ptr<void, JxlRunnerFree> runner(JxlThreadParallelRunnerCreate(nullptr, 2));
    if (!encoder || !runner)
        return false;
    JxlEncoderSetParallelRunner(encoder.get(), JxlThreadParallelRunner, runner.get());
    const bool boxes = extras.metadata && (!extras.metadata->exif.empty() || !extras.metadata->xmp.empty());
    if (boxes && JxlEncoderUseBoxes(encoder.get()) != JXL_ENC_SUCCESS)
        return false;

    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = uint32_t(picture.width);
    info.ysize = uint32_t(picture.height);
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.uses_original_profile = extras.lossless ? JXL_TRUE : JXL_FALSE;
    if (JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS)
        return false;
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    if (JxlEncoderSetColorEncoding(encoder.get(), &colour) != JXL_ENC_SUCCESS)
        return false;

    if (boxes) {
        if (!extras.metadata->exif.empty()) {
            // The box starts with the offset of the TIFF header: 0.
            std::vector<uint8_t> exif(4, 0);
            exif.insert(exif.end(), extras.metadata->exif.begin(), extras.metadata->exif.end());
            JxlEncoderAddBox(encoder.get(), "Exif", exif.data(), exif.size(), JXL_FALSE);
        }
        if (!extras.metadata->xmp.empty())
            JxlEncoderAddBox(encoder.get(), "xml ", reinterpret_cast<const uint8_t*>(extras.metadata->xmp.data()),
                             extras.metadata->xmp.size(), JXL_FALSE);
        JxlEncoderCloseBoxes(encoder.get());
    }

    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
    if (!settings)
        return false;
    if (extras.lossless) {
        JxlEncoderSetFrameLossless(settings, JXL_TRUE);
        // Lossless at the default effort takes seconds for a photo.
        JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, 3);
    } else {
        // The distance the reference encoder derives from a JPEG-like quality.
        const int q = std::clamp(extras.quality, 0, 100);
        const float distance = q >= 30 ? 0.1f + float(100 - q) * 0.09f
                                       : 6.4f + std::pow(2.5f, float(30 - q) / 5.0f) / 6.25f;
        JxlEncoderSetFrameDistance(settings, std::min(distance, 15.0f));
    }
    std::vector<uint8_t> rgb(size_t(picture.width) * size_t(picture.height) * 3);
    BgrToRgb(picture, rgb.data(), size_t(picture.width) * 3);
    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    if (JxlEncoderAddImageFrame(settings, &format, rgb.data(), rgb.size()) != JXL_ENC_SUCCESS)
        return false;
    JxlEncoderCloseInput(encoder.get());

    out.resize(65536);
    uint8_t* next = out.data();
    size_t available = out.size();
    for (;;) {
        const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &available);
        if (status == JXL_ENC_SUCCESS)
            break;
        if (status != JXL_ENC_NEED_MORE_OUTPUT) {
            out.clear();
            return false;
        }
        const size_t used = size_t(next - out.data());
        out.resize(out.size() * 2);
        next = out.data() + used;
        available = out.size() - used;
    }
    out.resize(size_t(next - out.data()));
    return true;
}

} // namespace ombrik
