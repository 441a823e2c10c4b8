#include "files/cmyk_pixels.h"
#include "files/reasons.h"

#include "files/tiff_handlers.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <tiffio.h>

namespace ombrik {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info)
{
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void OnJpegMessage(j_common_ptr, int) {}

// Everything that lives across the decode is made before setjmp, so a
// longjmp out of libjpeg skips no destructor.
bool ReadCmykJpeg(std::FILE* file, int64_t maxPixels, int atLeastWidth, int atLeastHeight, CmykPicture& out,
                  bool sizeOnly)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.emit_message = OnJpegMessage;
    error.message[0] = 0;
    std::vector<uint8_t>& pixels = out.pixels;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        pixels.clear();
        out.error = std::string("the CMYK picture cannot be read: ") + error.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space != JCS_CMYK && info.jpeg_color_space != JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is not CMYK");
        return false;
    }
    if (int64_t(info.image_width) * info.image_height > maxPixels) {
        jpeg_destroy_decompress(&info);
        out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is too large");
        return false;
    }
    if (sizeOnly) {
        out.width = int(info.image_width);
        out.height = int(info.image_height);
        jpeg_destroy_decompress(&info);
        return true;
    }
    info.out_color_space = JCS_CMYK;
    info.scale_num = 1;
    info.scale_denom = 1;
    if (atLeastWidth > 0 && atLeastHeight > 0)
        for (unsigned denom : {8u, 4u, 2u})
            if (int64_t(info.image_width) / denom >= atLeastWidth && int64_t(info.image_height) / denom >= atLeastHeight) {
                info.scale_denom = denom;
                break;
            }
    jpeg_start_decompress(&info);
    if (info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is not CMYK");
        return false;
    }
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    const size_t row = size_t(out.width) * 4;
    pixels.resize(row * size_t(out.height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = pixels.data() + row * info.output_scanline;
        jpeg_read_scanlines(&info, &line, 1);
    }
    // Photoshop's convention, followed by every writer that puts the Adobe
    // marker in: the bytes are 255 minus the ink.
    const bool inverted = info.saw_Adobe_marker;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (inverted)
        for (uint8_t& v : pixels)
            v = uint8_t(255 - v);
    return true;
}

bool ReadCmykTiff(const std::string& path, int64_t maxPixels, CmykPicture& out, bool sizeOnly)
{
    const ScopedQuietTiffHandlers quiet;
    const std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(path.c_str(), "r"), &TIFFClose);
    if (!tiff) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the TIFF cannot be read");
        return false;
    }
    uint32_t width = 0, height = 0;
    uint16_t photometric = 0, bits = 0, samples = 0, planar = PLANARCONFIG_CONTIG, inkSet = INKSET_CMYK;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_INKSET, &inkSet);
    if (photometric != PHOTOMETRIC_SEPARATED || inkSet != INKSET_CMYK || bits != 8 || samples < 4 || samples > 8
        || planar != PLANARCONFIG_CONTIG || TIFFIsTiled(tiff.get())) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "only 8-bit CMYK TIFFs in strips are read through their profile");
        return false;
    }
    if (width == 0 || height == 0 || int64_t(width) * height > maxPixels) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the picture is too large");
        return false;
    }
    if (sizeOnly) {
        out.width = int(width);
        out.height = int(height);
        return true;
    }
    const tmsize_t scanline = TIFFScanlineSize(tiff.get());
    if (scanline < tmsize_t(width) * samples) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "the TIFF cannot be read");
        return false;
    }
    std::vector<uint8_t> line(static_cast<size_t>(scanline));
    out.pixels.resize(size_t(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff.get(), line.data(), y, 0) < 0) {
            out.pixels.clear();
            out.error = QT_TRANSLATE_NOOP("Reasons", "the TIFF is damaged");
            return false;
        }
        uint8_t* to = out.pixels.data() + size_t(y) * width * 4;
        const uint8_t* from = line.data();
        for (uint32_t x = 0; x < width; ++x, from += samples, to += 4)
            std::memcpy(to, from, 4);
    }
    out.width = int(width);
    out.height = int(height);
    return true;
}

} // namespace

bool ReadCmykPixels(const std::string& path, int64_t maxPixels, int atLeastWidth, int atLeastHeight,
                    CmykPicture& out, bool sizeOnly)
{
    out = CmykPicture();
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    uint8_t head[4] = {};
    if (!file || std::fread(head, 1, sizeof head, file.get()) != sizeof head) {
        out.error = QT_TRANSLATE_NOOP("Reasons", "cannot read the file");
        return false;
    }
    if (head[0] == 0xFF && head[1] == 0xD8) {
        std::rewind(file.get());
        return ReadCmykJpeg(file.get(), maxPixels, atLeastWidth, atLeastHeight, out, sizeOnly);
    }
    if ((head[0] == 'I' && head[1] == 'I' && head[2] == 42) || (head[0] == 'M' && head[1] == 'M' && head[3] == 42)) {
        file.reset();
        return ReadCmykTiff(path, maxPixels, out, sizeOnly);
    }
    out.error = QT_TRANSLATE_NOOP("Reasons", "only JPEG and TIFF pictures are read as CMYK");
    return false;
}

} // namespace ombrik
