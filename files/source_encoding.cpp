#include "files/source_encoding.h"

#include <webp/decode.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace ombrik {

namespace {

// The JPEG standard's example luminance table, which libjpeg scales by the
// quality, in natural order.
constexpr uint16_t kStandardLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

void OnJpegMessage(j_common_ptr, int) {}

// Reads the markers up to the picture data and copies the table of the
// first component. Everything that lives across the read is made before
// setjmp, so a longjmp out of libjpeg skips no destructor.
bool ReadLuminanceTable(std::FILE* file, uint16_t (&table)[64])
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.emit_message = OnJpegMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    bool found = false;
    if (info.num_components > 0) {
        const int slot = info.comp_info[0].quant_tbl_no;
        const JQUANT_TBL* quant = slot >= 0 && slot < NUM_QUANT_TBLS ? info.quant_tbl_ptrs[slot] : nullptr;
        if (quant) {
            std::copy(quant->quantval, quant->quantval + 64, table);
            found = true;
        }
    }
    jpeg_destroy_decompress(&info);
    return found;
}

// The quality (1..100) for a luminance table of 64 values in natural (row
// by row) order.
int QualityFromLuminanceTable(const uint16_t* table)
{
    const bool baseline = std::all_of(table, table + 64, [](uint16_t v) { return v <= 255; });
    int best = 1;
    long bestError = std::numeric_limits<long>::max();
    for (int quality = 1; quality <= 100; ++quality) {
        // libjpeg's scaling of the standard table.
        const long scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
        long error = 0;
        for (int i = 0; i < 64; ++i) {
            const long scaled = std::clamp((kStandardLuminance[i] * scale + 50) / 100, 1L, baseline ? 255L : 32767L);
            error += std::labs(scaled - long(table[i]));
        }
        if (error < bestError) {
            bestError = error;
            best = quality;
        }
    }
    return best;
}

} // namespace

std::optional<int> EstimateJpegQuality(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    uint16_t table[64];
    if (!file || !ReadLuminanceTable(file.get(), table))
        return std::nullopt;
    return QualityFromLuminanceTable(table);
}

bool IsLosslessWebp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    // The header and the chunks before the picture (a colour profile) are
    // usually in the first bytes; the whole file is read only if not.
    std::vector<uint8_t> bytes(65536);
    for (;;) {
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
        bytes.resize(size_t(in.gcount()));
        WebPBitstreamFeatures features;
        const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features);
        if (status == VP8_STATUS_OK)
            return features.format == 2;  // 1 lossy, 2 lossless, 0 mixed (animation)
        if (status != VP8_STATUS_NOT_ENOUGH_DATA || !in)
            return false;
        in.clear();
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        if (size <= std::streamoff(bytes.size()) || size > (std::streamoff(1) << 30))
            return false;
        bytes.resize(size_t(size));
        in.seekg(0);
    }
}

void NoteSourceEncoding(const std::string& path, const std::string& format, PhotoMetadata& metadata)
{
    metadata.sourceQuality.reset();
    metadata.sourceLossless = false;
    if (format == "jpeg" || format == "jpg") {
        metadata.sourceQuality = EstimateJpegQuality(path);
    } else if (format == "webp") {
        metadata.sourceLossless = IsLosslessWebp(path);
    } else if (format == "tiff" || format == "tif") {
        // TIFF may hold JPEG-compressed strips (old and new style).
        const std::optional<long> compression = ExifNumber(metadata.exif, "Exif.Image.Compression");
        metadata.sourceLossless = !compression || (*compression != 6 && *compression != 7);
    } else {
        // Formats that store their pixels as they are or compress them
        // without loss; JPEG 2000 can be either and is not counted.
        for (const char* lossless : {"png", "bmp", "gif", "pnm", "ppm", "pgm", "pbm", "tga", "pcx", "ico", "cur",
                                     "ras", "sun", "wbmp", "xpm", "xbm"})
            if (format == lossless)
                metadata.sourceLossless = true;
    }
}

} // namespace ombrik
