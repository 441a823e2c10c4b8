#include "files/raw_photo.h"

#include "files/codec_image.h"
#include "files/picture_formats.h"
#include "files/pixel_image.h"
#include "files/raw_metadata.h"
#include "files/reasons.h"
#include "files/tiff_handlers.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTransform>

#include <libraw.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

namespace ombrik {

namespace {

// --- Recognising a RAW file by its content ----------------------------------------

class TiffWalk {
public:
    explicit TiffWalk(std::FILE* file) : m_file(file) {}

    // True when one of the first directories (IFD0, its SubIFDs, the next
    // IFDs) holds a DNG version or a colour-filter picture; `make` is the
    // camera maker of IFD0 when there is one.
    bool raw(bool bigEndian, uint32_t first, std::string& make)
    {
        m_big = bigEndian;
        return walk(first, 0, make);
    }

private:
    bool read(uint32_t at, void* out, size_t n)
    {
        return std::fseek(m_file, long(at), SEEK_SET) == 0 && std::fread(out, 1, n, m_file) == n;
    }
    uint32_t number(const uint8_t* p, int bytes) const
    {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = m_big ? (v << 8) | p[i] : v | uint32_t(p[i]) << (8 * i);
        return v;
    }
    bool walk(uint32_t at, int depth, std::string& make)
    {
        // A handful of directories is enough for every camera's layout and
        // keeps a hostile file's loops short.
        for (int chained = 0; at != 0 && chained < 4 && m_visited < 16; ++chained, ++m_visited) {
            uint8_t countBytes[2];
            if (!read(at, countBytes, 2))
                return false;
            const uint32_t count = std::min<uint32_t>(number(countBytes, 2), 512);
            std::vector<uint8_t> entries(size_t(count) * 12 + 4);
            if (!read(at + 2, entries.data(), entries.size()))
                return false;
            std::vector<uint32_t> subIfds;
            for (uint32_t i = 0; i < count; ++i) {
                const uint8_t* e = entries.data() + size_t(i) * 12;
                const uint32_t tag = number(e, 2);
                const uint32_t type = number(e + 2, 2);
                const uint32_t n = number(e + 4, 4);
                const uint32_t value = type == 3 ? number(e + 8, 2) : number(e + 8, 4);
                if (tag == 0xC612)  // DNGVersion
                    return true;
                if (tag == 262 && (value == 32803 || value == 34892))  // CFA or linear raw
                    return true;
                if (tag == 271 && depth == 0 && chained == 0 && type == 2 && n > 1 && n < 64) {
                    char text[64] = {};
                    if (n <= 4)
                        std::memcpy(text, e + 8, n);
                    else if (!read(value, text, n))
                        continue;
                    make.assign(text, strnlen(text, n));
                }
                if (tag == 330 && depth == 0) {
                    if (n == 1)
                        subIfds.push_back(value);
                    else
                        for (uint32_t k = 0; k < std::min<uint32_t>(n, 4); ++k) {
                            uint8_t offset[4];
                            if (read(value + 4 * k, offset, 4))
                                subIfds.push_back(number(offset, 4));
                        }
                }
            }
            for (uint32_t sub : subIfds)
                if (walk(sub, depth + 1, make))
                    return true;
            at = number(entries.data() + size_t(count) * 12, 4);
        }
        return false;
    }

    std::FILE* m_file;
    bool m_big = false;
    int m_visited = 0;
};

bool IsRawExtension(const std::string& path)
{
    const PictureFormat* format = PictureFormatForPath(path);
    return format && format->id == PictureFormatId::CameraRaw;
}

bool IsRawContent(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    uint8_t head[32] = {};
    if (std::fread(head, 1, sizeof head, file.get()) != sizeof head)
        return false;
    const auto at = [&](size_t offset, const char* text) {
        return std::memcmp(head + offset, text, std::strlen(text)) == 0;
    };
    if (at(0, "FUJIFILM") || at(0, "FOVb") || at(0, "IIRO") || at(0, "IIRS") || at(0, "MMOR")
        || std::memcmp(head, "IIU\0", 4) == 0 || (at(4, "ftyp") && at(8, "crx ")))
        return true;
    const bool little = at(0, "II*") && head[3] == 0;
    const bool big = head[0] == 'M' && head[1] == 'M' && head[2] == 0 && head[3] == '*';
    if (!little && !big) {
        // Phase One's IIQ marks its own directory with "IIII" or "MMMM".
        for (size_t i = 0; i + 4 <= sizeof head; ++i)
            if (std::memcmp(head + i, "IIII", 4) == 0 || std::memcmp(head + i, "MMMM", 4) == 0)
                return true;
        return false;
    }
    if (at(8, "CR"))
        return true;
    const uint32_t first = little ? uint32_t(head[4]) | uint32_t(head[5]) << 8 | uint32_t(head[6]) << 16
                                        | uint32_t(head[7]) << 24
                                  : uint32_t(head[4]) << 24 | uint32_t(head[5]) << 16 | uint32_t(head[6]) << 8
                                        | uint32_t(head[7]);
    std::string make;
    if (TiffWalk(file.get()).raw(big, first, make))
        return true;
    // A TIFF-based file from a camera that is not named as a TIFF: a NEF,
    // ARW, PEF or SRW under another name.
    const PictureFormat* format = PictureFormatForPath(path);
    return !make.empty() && !(format && format->id == PictureFormatId::Tiff);
}

// --- LibRaw --------------------------------------------------------------------------

// Largest RAW data accepted, in LibRaw's own accounting.
constexpr unsigned kMaxRawMemoryMb = 1024;
// A hostile header can claim a huge sensor in a tiny file; real files spend
// at least half a bit per pixel even with lossy compression.
constexpr int64_t kMinFileBytesPer16Pixels = 1;
// Embedded previews smaller than this on their longer side look worse than
// the short wait for a half-size decode.
constexpr int kMinPreviewSide = 480;

// An embedded preview's encoded bytes as stored (not turned), decoded at a
// reduced scale when it is more than twice the wanted size; a null image
// when it is too small or cannot be read.
QImage DecodePreview(QByteArray bytes, int wantWidth, int wantHeight)
{
    // Exiv2's previews may be TIFFs, read by Qt through libtiff.
    const ScopedQuietTiffHandlers quiet;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);  // the RAW's orientation is applied afterwards
    const QSize size = reader.size();
    if (!size.isValid() || std::max(size.width(), size.height()) < kMinPreviewSide
        || int64_t(size.width()) * size.height() > kCodecMaxPixels)
        return {};
    if (wantWidth > 0 && wantHeight > 0 && size.width() > 2 * wantWidth && size.height() > 2 * wantHeight)
        reader.setScaledSize(size.scaled(wantWidth, wantHeight, Qt::KeepAspectRatioByExpanding));
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

int CancelCheck(void* data, enum LibRaw_progress, int, int)
{
    const auto* cancel = static_cast<const std::atomic<bool>*>(data);
    return cancel && cancel->load(std::memory_order_relaxed) ? 1 : 0;
}

struct RawPlan {
    int fullWidth = 0;   // upright, as the sensor's visible area
    int fullHeight = 0;
    int targetWidth = 0;  // the photo's size before the cut to multiples of 4
    int targetHeight = 0;
    bool downsize = false;
    bool halfSize = false;
    int flip = 0;  // LibRaw's: bit 4 swaps the sides, 2 flips rows, 1 columns
    int thresholdWidth = 0;
    int thresholdHeight = 0;
};

RawPlan MakePlan(int width, int height, int flip, int thresholdWidth, int thresholdHeight)
{
    RawPlan plan;
    plan.flip = flip;
    plan.thresholdWidth = thresholdWidth;
    plan.thresholdHeight = thresholdHeight;
    plan.fullWidth = (flip & 4) ? height : width;
    plan.fullHeight = (flip & 4) ? width : height;
    plan.targetWidth = plan.fullWidth;
    plan.targetHeight = plan.fullHeight;
    if (thresholdWidth > 0 && thresholdHeight > 0) {
        const auto a = uint32_t(std::max(thresholdWidth, thresholdHeight));
        const auto b = uint32_t(std::min(thresholdWidth, thresholdHeight));
        if (int64_t(plan.fullWidth) * plan.fullHeight > int64_t(a) * b) {
            uint32_t w = 0;
            uint32_t h = 0;
            DownsizedSize(uint32_t(plan.fullWidth), uint32_t(plan.fullHeight), a, b, w, h);
            plan.downsize = true;
            plan.targetWidth = int(std::max(w, 1u));
            plan.targetHeight = int(std::max(h, 1u));
            plan.halfSize = 2 * plan.targetWidth <= plan.fullWidth && 2 * plan.targetHeight <= plan.fullHeight;
        }
    }
    return plan;
}

// A LibRaw processor opened on a file, with the develop settings and limits.
class RawFile {
public:
    explicit RawFile(const std::atomic<bool>* cancel = nullptr)
        : m_raw(std::make_unique<LibRaw>(0)), m_cancel(cancel)
    {
        libraw_output_params_t& p = m_raw->imgdata.params;
        p.use_camera_wb = 1;       // as shot
        p.use_camera_matrix = 1;   // the file's own matrix for DNG, LibRaw's table for the others
        p.output_color = 1;        // sRGB
        p.output_bps = 8;
        p.gamm[0] = 1.0 / 2.4;     // sRGB's curve: power 2.4 with a linear toe of slope 12.92
        p.gamm[1] = 12.92;
        p.no_auto_bright = 1;      // the exposure as shot, the same for every photo
        p.highlight = 0;           // clip: blown areas turn white, not magenta
        p.user_qual = 3;           // AHD
        p.use_fuji_rotate = 1;
        p.max_raw_memory_mb = kMaxRawMemoryMb;
        p.adjust_maximum_thr = 0;  // the white level as the file says, not the brightest pixel
    }

    LibRaw& raw() { return *m_raw; }

    // Opens and checks the sizes; false with a reason.
    bool open(const std::string& path, std::string& error)
    {
        std::error_code ec;
        m_fileSize = int64_t(std::filesystem::file_size(path, ec));
        if (ec) {
            error = "cannot read the file";
            return false;
        }
        const int rc = m_raw->open_file(path.c_str());
        if (rc != LIBRAW_SUCCESS) {
            error = std::string("not a camera RAW file that can be read (") + LibRaw::strerror(rc) + ")";
            return false;
        }
        const libraw_image_sizes_t& s = m_raw->imgdata.sizes;
        const int64_t pixels = int64_t(s.raw_width) * s.raw_height;
        if (s.width < 4 || s.height < 4 || s.raw_width == 0 || s.raw_height == 0) {
            error = "the RAW picture has no size";
            return false;
        }
        if (s.raw_width > kCodecMaxSide || s.raw_height > kCodecMaxSide || pixels > kCodecMaxPixels
            || pixels / 16 > m_fileSize * kMinFileBytesPer16Pixels) {
            error = "the RAW picture's size does not fit the file";
            return false;
        }
        return true;
    }

    RawPlan plan(int thresholdWidth, int thresholdHeight) const
    {
        const libraw_image_sizes_t& s = m_raw->imgdata.sizes;
        return MakePlan(s.width, s.height, s.flip, thresholdWidth, thresholdHeight);
    }

    // The embedded preview as stored (not turned), or a null image.
    QImage preview(int wantWidth, int wantHeight)
    {
        const libraw_thumbnail_t& t = m_raw->imgdata.thumbnail;
        if (t.tlength == 0 || int64_t(t.tlength) > m_fileSize || std::max(t.twidth, t.theight) < kMinPreviewSide)
            return {};
        if (m_raw->unpack_thumb() != LIBRAW_SUCCESS || !t.thumb)
            return {};
        QImage image;
        if (t.tformat == LIBRAW_THUMBNAIL_JPEG) {
            image = DecodePreview(QByteArray::fromRawData(t.thumb, qsizetype(t.tlength)), wantWidth, wantHeight);
        } else if (t.tformat == LIBRAW_THUMBNAIL_BITMAP && t.tcolors == 3
                   && int64_t(t.twidth) * t.theight * 3 <= int64_t(t.tlength)) {
            image = QImage(reinterpret_cast<const uchar*>(t.thumb), t.twidth, t.theight, qsizetype(t.twidth) * 3,
                           QImage::Format_RGB888)
                        .copy();
        }
        return image;
    }

    // unpack and dcraw_process; false with a reason.
    bool develop(bool halfSize, std::string& error)
    {
        m_raw->imgdata.params.half_size = halfSize ? 1 : 0;
        if (m_cancel)
            m_raw->set_progress_handler(&CancelCheck, const_cast<std::atomic<bool>*>(m_cancel));
        int rc = m_raw->unpack();
        if (rc == LIBRAW_SUCCESS && !holdsPicture()) {
            // A compression LibRaw takes for another (it decodes nothing and
            // says nothing): not a black photo but data it cannot read.
            error = "its RAW data holds no picture LibRaw can decode";
            return false;
        }
        if (rc == LIBRAW_SUCCESS)
            rc = m_raw->dcraw_process();
        if (rc != LIBRAW_SUCCESS) {
            error = LibRaw::strerror(rc);
            return false;
        }
        return true;
    }

    // The developed picture, upright, 8-bit sRGB.
    QImage image(std::string& error)
    {
        int rc = LIBRAW_SUCCESS;
        libraw_processed_image_t* made = m_raw->dcraw_make_mem_image(&rc);
        const std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> out(
            made, &LibRaw::dcraw_clear_mem);
        if (!out || rc != LIBRAW_SUCCESS || out->type != LIBRAW_IMAGE_BITMAP || out->colors != 3 || out->bits != 8
            || out->width == 0 || out->height == 0) {
            error = rc != LIBRAW_SUCCESS ? LibRaw::strerror(rc) : "no picture came out";
            return {};
        }
        return QImage(out->data, out->width, out->height, qsizetype(out->width) * 3, QImage::Format_RGB888).copy();
    }

    bool damaged() const { return m_raw->error_count() > 0; }

    // Whether the unpacked RAW data is more than a few stray samples in a
    // sea of zeros, which is what a decoder that failed leaves behind (a real
    // photo, even a black one, has its sensor's noise and black level).
    bool holdsPicture() const
    {
        const libraw_rawdata_t& r = m_raw->imgdata.rawdata;
        size_t n = size_t(m_raw->imgdata.sizes.raw_width) * m_raw->imgdata.sizes.raw_height;
        const uint16_t* p = nullptr;
        if (r.raw_image) {
            p = r.raw_image;
        } else if (r.color4_image) {
            p = &r.color4_image[0][0];
            n *= 4;
        } else if (r.color3_image) {
            p = &r.color3_image[0][0];
            n *= 3;
        } else {
            return true;  // floating-point data: not checked
        }
        // More than one sample in 64 set; stops counting as soon as there are.
        const size_t enough = n / 64 + 1;
        size_t set = 0;
        for (size_t i = 0; i < n && set < enough; ++i)
            set += p[i] != 0;
        return set >= enough;
    }

private:
    std::unique_ptr<LibRaw> m_raw;
    const std::atomic<bool>* m_cancel;
    int64_t m_fileSize = 0;
};

// LibRaw's flip in Qt's terms: columns mirrored, rows flipped, then the
// sides swapped by a quarter turn.
QImage Turned(const QImage& image, int flip)
{
    QImage out = image;
    if (flip & 4) {
        // Sides swapped: flips 5 and 6 are a quarter turn one way or the
        // other, 4 and 7 a transpose and an anti-transpose.
        switch (flip) {
        case 5: return image.transformed(QTransform().rotate(270));
        case 6: return image.transformed(QTransform().rotate(90));
        case 4: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        default: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
        }
    }
    if (flip & 3)
        out = image.mirrored(flip & 1, flip & 2);
    return out;
}

// Scales the upright picture to the planned size, cuts it to multiples of 4
// and copies it into the photo.
bool Finish(QImage image, int targetWidth, int targetHeight, LoadedPhoto& result)
{
    if (image.width() != targetWidth || image.height() != targetHeight)
        image = image.scaled(targetWidth, targetHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int w = image.width() & ~3;
    const int h = image.height() & ~3;
    if (w == 0 || h == 0) {
        result.error = QT_TRANSLATE_NOOP("Reasons", "the picture is smaller than 4 x 4 pixels");
        return false;
    }
    result.photo = PixelBufferFromImage(image.copy(0, 0, w, h));
    result.ok = true;
    return true;
}

// What every RAW result carries, whatever picture it ends with.
void Describe(LoadedPhoto& result, RawFile& file, const std::string& path, const RawPlan& plan)
{
    result.decoder = PhotoDecoder::LibRaw;
    result.metadata = ReadRawMetadata(path, file.raw());
    result.fileWidth = plan.fullWidth;
    result.fileHeight = plan.fullHeight;
    result.downsized = plan.downsize;
    // The photo is a develop, never the file's own pixels: it is not written back.
    result.differsFromFile = true;
}

bool LoadPreviewInto(RawFile& file, const RawPlan& plan, LoadedPhoto& result)
{
    const bool swapped = plan.flip & 4;
    const QImage stored = file.preview(swapped ? plan.targetHeight : plan.targetWidth,
                                       swapped ? plan.targetWidth : plan.targetHeight);
    if (stored.isNull())
        return false;
    QImage upright = Turned(stored, plan.flip);
    // A preview cropped to another shape than the sensor keeps its own shape.
    int width = plan.targetWidth;
    int height = plan.targetHeight;
    const double planned = double(width) / height;
    const double own = double(upright.width()) / upright.height();
    if (std::abs(own / planned - 1.0) > 0.03) {
        const QSize fitted = upright.size().scaled(width, height, Qt::KeepAspectRatio);
        width = fitted.width();
        height = fitted.height();
    }
    return Finish(std::move(upright), width, height, result);
}

bool DevelopInto(RawFile& file, const RawPlan& plan, LoadedPhoto& result)
{
    std::string why;
    if (!file.develop(plan.halfSize, why)) {
        result.error = why;
        return false;
    }
    QImage image = file.image(why);
    if (image.isNull()) {
        result.error = why;
        return false;
    }
    result.damaged = file.damaged();
    // The planned size comes from the sensor's visible area; a develop that
    // came out another shape (stretched pixels, a turned sensor) keeps its own.
    int width = plan.targetWidth;
    int height = plan.targetHeight;
    const int scale = plan.halfSize ? 2 : 1;
    const double planned = double(plan.fullWidth) / plan.fullHeight;
    const double own = double(image.width()) / image.height();
    if (!plan.downsize) {
        width = image.width();
        height = image.height();
    } else if (std::abs(own / planned - 1.0) > 0.01) {
        const RawPlan reshaped = MakePlan(image.width() * scale, image.height() * scale, 0, plan.thresholdWidth,
                                          plan.thresholdHeight);
        width = reshaped.targetWidth;
        height = reshaped.targetHeight;
    }
    return Finish(std::move(image), width, height, result);
}

// A RAW file LibRaw cannot open (a camera or compression it does not know):
// the largest preview Exiv2 finds, upright and sized for the threshold, with
// a note saying it is not developed. False when there is none.
bool LoadForeignPreview(const std::string& path, int thresholdWidth, int thresholdHeight, const LibRaw& raw,
                        LoadedPhoto& out)
{
    // Only a RAW by its content: a JPEG named .nef goes on to the other decoders.
    if (!IsRawContent(path))
        return false;
    int orientation = 1;
    const std::string bytes = ReadEmbeddedPreview(path, size_t(64) << 20, orientation);
    if (bytes.empty())
        return false;
    const QImage stored = DecodePreview(QByteArray::fromStdString(bytes), 0, 0);
    if (stored.isNull())
        return false;
    // EXIF orientation 1..8 as LibRaw's flip.
    constexpr int kFlip[9] = {0, 0, 1, 3, 2, 4, 6, 7, 5};
    const int flip = kFlip[orientation];
    const RawPlan plan = MakePlan(stored.width(), stored.height(), flip, thresholdWidth, thresholdHeight);
    LoadedPhoto result;
    if (!Finish(Turned(stored, flip), plan.targetWidth, plan.targetHeight, result))
        return false;
    result.decoder = PhotoDecoder::LibRaw;
    result.metadata = ReadRawMetadata(path, raw);
    result.metadata.notes.push_back("its RAW data cannot be developed (" + out.error
                                    + "); the camera's embedded preview was opened instead");
    result.fileWidth = plan.fullWidth;
    result.fileHeight = plan.fullHeight;
    result.downsized = plan.downsize;
    result.differsFromFile = true;
    out = std::move(result);
    return true;
}

} // namespace

bool IsRawPhoto(const std::string& path, bool* byContent)
{
    const bool content = IsRawContent(path);
    if (byContent)
        *byContent = content;
    return content || IsRawExtension(path);
}

LoadedPhoto LoadRawPreview(const std::string& path, int thresholdWidth, int thresholdHeight)
{
    LoadedPhoto result;
    RawFile file;
    if (!file.open(path, result.error)) {
        LoadForeignPreview(path, thresholdWidth, thresholdHeight, file.raw(), result);
        return result;  // nothing more to come from a develop
    }
    const RawPlan plan = file.plan(thresholdWidth, thresholdHeight);
    Describe(result, file, path, plan);
    if (LoadPreviewInto(file, plan, result)) {
        result.preview = true;
        return result;
    }
    // No usable preview: a half-size decode, which is the developed photo
    // itself when the threshold asks for no more.
    RawPlan half = plan;
    half.halfSize = true;
    half.downsize = true;  // scaled up to the planned size when it stands in
    if (!DevelopInto(file, half, result)) {
        result.error = "the RAW data could not be developed (" + result.error + ")";
        return result;
    }
    result.preview = !plan.halfSize;
    return result;
}

LoadedPhoto DevelopRaw(const std::string& path, int thresholdWidth, int thresholdHeight,
                       const std::atomic<bool>* cancel)
{
    LoadedPhoto result;
    RawFile file(cancel);
    if (!file.open(path, result.error)) {
        LoadForeignPreview(path, thresholdWidth, thresholdHeight, file.raw(), result);
        return result;
    }
    const RawPlan plan = file.plan(thresholdWidth, thresholdHeight);
    Describe(result, file, path, plan);
    if (DevelopInto(file, plan, result))
        return result;
    if (cancel && cancel->load()) {
        result.cancelled = true;
        result.error = "cancelled";
        return result;
    }
    // The RAW data is damaged or of a kind LibRaw cannot develop: the
    // camera's own preview, when it has one, is better than nothing.
    const std::string why = result.error;
    RawFile again;
    std::string ignored;
    if (again.open(path, ignored) && LoadPreviewInto(again, plan, result)) {
        result.error.clear();
        result.metadata.notes.push_back("its RAW data could not be developed (" + why
                                        + "); the camera's embedded preview was opened instead");
        return result;
    }
    result.error = "the RAW data could not be developed (" + why + ")";
    return result;
}

} // namespace ombrik
