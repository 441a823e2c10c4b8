#include "files/photo_loader.h"
#include "files/reasons.h"

#include "files/cmyk_pixels.h"
#include "files/codec_image.h"
#include "files/colour_profile.h"
#include "files/modern_codecs.h"
#include "files/picture_formats.h"
#include "files/raw_photo.h"
#include "files/source_encoding.h"
#include "files/tiff_handlers.h"

#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <vector>

namespace ombrik {

namespace {

static_assert(std::endian::native == std::endian::little, "32-bit pixels are read as B, G, R, X bytes");

// A drawing that only the codec library renders (WMF, EMF).
bool IsMetafile(const std::string& path)
{
    const PictureFormat* format = PictureFormatForPath(path);
    return format && format->metafile;
}

// Qt's image plugins report truncated or corrupt data only as warnings in their
// logging categories and return what they decoded. While one picture is read
// these warnings are collected (and not printed) for the reading thread; all
// other messages go on to the handler that was installed before. The handler
// is installed once and stays: installing and restoring it around each read
// raced between the folder batch's threads, and one thread's restore dropped
// another's collector.
class DecoderWarnings {
public:
    DecoderWarnings()
    {
        static const bool installed = Install();
        (void)installed;
        m_outer = s_active;
        s_active = this;
    }
    ~DecoderWarnings() { s_active = m_outer; }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    bool damaged() const { return m_damaged; }

private:
    static bool Install()
    {
        s_previous = qInstallMessageHandler(&Handle);
        return true;
    }
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        DecoderWarnings* self = s_active;
        const bool fromDecoder = context.category && std::strncmp(context.category, "qt.gui.imageio", 14) == 0;
        if (self && fromDecoder && type == QtWarningMsg) {
            // Bytes between markers are harmless and common in camera files.
            if (!text.contains(QLatin1String("extraneous bytes"), Qt::CaseInsensitive))
                self->m_damaged = true;
            return;
        }
        if (s_previous)
            s_previous(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }

    static inline thread_local DecoderWarnings* s_active = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
    DecoderWarnings* m_outer = nullptr;
    bool m_damaged = false;
};

bool FinishImage(QImage image, int64_t limit, uint32_t a, uint32_t b, PhotoDecoder decoder, LoadedPhoto& result);

// What EXIF orientation 1..8 asks for to show the stored picture upright,
// in Qt's terms.
QImageIOHandler::Transformations ExifTransformation(int orientation)
{
    switch (orientation) {
    case 2: return QImageIOHandler::TransformationMirror;
    case 3: return QImageIOHandler::TransformationRotate180;
    case 4: return QImageIOHandler::TransformationFlip;
    case 5: return QImageIOHandler::TransformationFlipAndRotate90;
    case 6: return QImageIOHandler::TransformationRotate90;
    case 7: return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8: return QImageIOHandler::TransformationRotate270;
    default: return QImageIOHandler::TransformationNone;
    }
}

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// Mirrors and flips first, then turns a quarter clockwise, as the
// transformation values mean.
QImage Turned(QImage image, QImageIOHandler::Transformations turn)
{
    if (turn & (QImageIOHandler::TransformationMirror | QImageIOHandler::TransformationFlip))
        image = image.mirrored(turn & QImageIOHandler::TransformationMirror, turn & QImageIOHandler::TransformationFlip);
    if (turn & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// Qt's reader path. `downsize` (a, b) is used only when the codec library
// could not read a file Qt reads but that is over the threshold: Qt then
// resamples it to the same size the codec path would.
bool LoadThroughQt(const std::string& path, int64_t limit, LoadedPhoto& result, uint32_t a = 0, uint32_t b = 0)
{
    const ScopedQuietTiffHandlers quietTiff;
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);  // EXIF orientation: open upright
    // The reader named by the extension first: telling a file by its content
    // loads every image plugin there is, which costs more than many a decode.
    // Only a file whose extension does not match its content pays for that.
    const PictureFormat* format = PictureFormatForPath(path);
    reader.setFormat(format && format->qtFormat ? QByteArray(format->qtFormat)
                                                : QByteArray::fromStdString(PathExtension(path)).toLower());
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        reader.setFileName(reader.fileName());
        reader.setFormat(QByteArray());
        reader.setAutoDetectImageFormat(true);
        if (!reader.canRead())
            return false;
    }
    const bool downsize = a > 0 && b > 0;
    const QSize declared = reader.size();
    if (!downsize && declared.isValid() && int64_t(declared.width()) * declared.height() > limit)
        return false;
    QImage image;
    {
        const DecoderWarnings warnings;
        if (!reader.read(&image) || image.isNull())
            return false;
        result.damaged = warnings.damaged();
    }
    result.metadata = ReadPhotoMetadata(path);
    NoteSourceEncoding(path, reader.format().toLower().toStdString(), result.metadata);
    // Qt's JPEG and TIFF readers have turned the picture by its orientation;
    // the others (PNG, WebP) leave it to the EXIF block. Turned before any
    // downsizing, which depends on the upright shape.
    if (!reader.supportsOption(QImageIOHandler::ImageTransformation))
        image = Turned(std::move(image), ExifTransformation(ExifOrientation(result.metadata.exif)));
    return FinishImage(std::move(image), limit, a, b, PhotoDecoder::QtImageIO, result);
}

// Downsizes a decoded picture when it is over the limit and a threshold
// (a, b) is given, cuts it to multiples of 4 and copies it into the photo.
// False when it is over the limit without a threshold.
bool FinishImage(QImage image, int64_t limit, uint32_t a, uint32_t b, PhotoDecoder decoder, LoadedPhoto& result)
{
    const bool downsize = a > 0 && b > 0;
    result.fileWidth = image.width();
    result.fileHeight = image.height();
    if (int64_t(image.width()) * image.height() > limit) {
        if (!downsize)
            return false;
        result.downsized = true;
        uint32_t newWidth = 0;
        uint32_t newHeight = 0;
        DownsizedSize(uint32_t(image.width()), uint32_t(image.height()), a, b, newWidth, newHeight);
        image = image.scaled(int(std::max(newWidth, 1u)), int(std::max(newHeight, 1u)), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
        if (image.isNull())
            return false;
    }

    const int w = image.width() & ~3;
    const int h = image.height() & ~3;
    if (w == 0 || h == 0) {
        result.error = QT_TRANSLATE_NOOP("Reasons", "the picture is smaller than 4 x 4 pixels");
        result.decoder = decoder;
        return true;
    }
    PixelBuffer photo(w, h, 3);
    if (image.format() == QImage::Format_RGB888) {  // what the HEIF and JPEG XL decoders give
        for (int y = 0; y < h; ++y) {
            const uint8_t* in = image.constScanLine(y);
            uint8_t* out = photo.at(0, y);
            for (int x = 0; x < w; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
        result.photo = std::move(photo);
        result.decoder = decoder;
        result.ok = true;
        return true;
    }
    // 32-bit pixels are B, G, R, X in memory: keep the first three bytes.
    // Everything else goes through Qt's conversion first.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        result.error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be converted to 24 bits");
        result.decoder = decoder;
        return true;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = image.constScanLine(y);
        uint8_t* out = photo.at(0, y);
        for (int x = 0; x < w; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    result.photo = std::move(photo);
    result.decoder = decoder;
    result.ok = true;
    return true;
}

uint32_t Le(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// Uncompressed 24-bit BMP, the commonest kind, read straight into the photo's
// rows: the same pixels as Qt's reader, without its 32-bit image and the copy
// after it. Anything else (other depths, compression, a file cut short, a
// photo over the threshold) is left to the readers below.
bool LoadPlainBmp(const std::string& path, int64_t limit, LoadedPhoto& result)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    uint8_t h[54];
    if (std::fread(h, 1, sizeof h, file.get()) != sizeof h || h[0] != 'B' || h[1] != 'M')
        return false;
    const uint32_t offset = Le(h + 10, 4);
    const uint32_t infoSize = Le(h + 14, 4);
    const auto width = int32_t(Le(h + 18, 4));
    const auto rawHeight = int32_t(Le(h + 22, 4));
    if ((infoSize != 40 && infoSize != 108 && infoSize != 124) || Le(h + 26, 2) != 1 || Le(h + 28, 2) != 24
        || Le(h + 30, 4) != 0 || width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<int32_t>::min()
        || offset < 14 + infoSize)
        return false;
    const int64_t height = rawHeight < 0 ? -int64_t(rawHeight) : rawHeight;
    if (width > kCodecMaxSide || height > kCodecMaxSide || int64_t(width) * height > limit)
        return false;
    const int64_t row = (int64_t(width) * 3 + 3) & ~int64_t(3);
    if (std::fseek(file.get(), 0, SEEK_END) != 0 || std::ftell(file.get()) < int64_t(offset) + row * height)
        return false;
    const int w = width & ~3;
    const int hh = int(height) & ~3;
    if (w == 0 || hh == 0)
        return false;  // the usual path gives the usual message
    PixelBuffer photo(w, hh, 3);
    for (int y = 0; y < hh; ++y) {
        // Rows are stored bottom-up unless the height is negative.
        const int64_t stored = rawHeight > 0 ? height - 1 - y : y;
        if (std::fseek(file.get(), long(offset + stored * row), SEEK_SET) != 0
            || std::fread(photo.at(0, y), 1, photo.stride(), file.get()) != photo.stride())
            return false;
    }
    result.photo = std::move(photo);
    result.fileWidth = width;
    result.fileHeight = int(height);
    result.decoder = PhotoDecoder::QtImageIO;  // what Qt's reader gives, byte for byte
    result.ok = true;
    result.metadata = ReadPhotoMetadata(path);
    NoteSourceEncoding(path, "bmp", result.metadata);
    return true;
}

// The codec library's formats by the names NoteSourceEncoding knows.
const char* CodecFormatName(int32_t format)
{
    switch (format) {
    case kCodecBmp: return "bmp";
    case kCodecGif: return "gif";
    case kCodecJpeg: return "jpeg";
    case kCodecPng: return "png";
    case kCodecIco: return "ico";
    case kCodecTiff: return "tiff";
    case kCodecTga: return "tga";
    case kCodecPcx: return "pcx";
    case kCodecWbmp: return "wbmp";
    case kCodecPnm: return "pnm";
    case kCodecRas: return "ras";
    default: return "";
    }
}

void LoadThroughCodec(const std::string& path, uint32_t a, uint32_t b, int64_t limit, LoadedPhoto& result)
{
    CodecImage image;
    // A JPEG over the threshold may be decoded at a reduced scale straight
    // away, as long as it stays at least as large as the size it is resampled
    // to; the resample sizes are computed from the full size either way.
    int fullWidth = 0;
    int fullHeight = 0;
    uint32_t newWidth = 0;
    uint32_t newHeight = 0;
    bool loaded = false;
    if (a > 0 && CodecFormatFromExtension(PathExtension(path)) == kCodecJpeg &&
        CodecImage::ReadSize(path, fullWidth, fullHeight) && int64_t(fullWidth) * fullHeight > limit) {
        DownsizedSize(uint32_t(fullWidth), uint32_t(fullHeight), a, b, newWidth, newHeight);
        loaded = image.load(path, int(newWidth), int(newHeight));
    }
    if (!loaded) {
        if (!image.load(path)) {
            result.error = image.lastError();
            return;
        }
        fullWidth = image.width();
        fullHeight = image.height();
        DownsizedSize(uint32_t(fullWidth), uint32_t(fullHeight), a, b, newWidth, newHeight);
    }
    result.decoder = PhotoDecoder::CodecLibrary;
    result.codecFormat = image.format();
    result.damaged = image.damaged();
    result.metadata = ReadPhotoMetadata(path);
    NoteSourceEncoding(path, CodecFormatName(image.format()), result.metadata);

    // The library turns JPEG and TIFF photos by their orientation; a PNG's
    // EXIF orientation is applied here, before downsizing.
    const int orientation = image.oriented() ? 1 : ExifOrientation(result.metadata.exif);
    if (orientation != 1) {
        if (!image.orient(orientation)) {
            result.error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be turned upright");
            return;
        }
        if (SwapsSides(orientation))
            std::swap(fullWidth, fullHeight);
        DownsizedSize(uint32_t(fullWidth), uint32_t(fullHeight), a, b, newWidth, newHeight);
    }
    result.fileWidth = fullWidth;
    result.fileHeight = fullHeight;

    if (int64_t(fullWidth) * fullHeight > limit) {
        result.downsized = true;
        // A very long strip can round one side to 0; keep at least one pixel.
        newWidth = std::max(newWidth, 1u);
        newHeight = std::max(newHeight, 1u);
        if (!image.resample(int(newWidth), int(newHeight), 1)) {
            result.error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be resized");
            return;
        }
    }

    const int w = image.width() & ~3;
    const int h = image.height() & ~3;
    if (w == 0 || h == 0) {
        result.error = QT_TRANSLATE_NOOP("Reasons", "the picture is smaller than 4 x 4 pixels");
        return;
    }
    PixelBuffer photo(w, h, 3);
    for (int u = 0; u < h; ++u) {
        const uint8_t* row = image.storedRow(h - 1 - u);
        if (!row) {
            result.error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be converted to 24 bits");
            return;
        }
        std::memcpy(photo.at(0, u), row, photo.stride());
    }
    result.photo = std::move(photo);
    result.ok = true;
}

// Largest HEIF or JPEG XL file read into memory.
constexpr std::streamoff kMaxModernFileBytes = std::streamoff(1) << 30;

enum class ContentKind { Other, Heif, JpegXl };

// HEIF and AVIF files start with an "ftyp" box, JPEG XL with its codestream
// mark or its container's signature box; phones and converters sometimes give
// them another extension.
ContentKind SniffContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    uint8_t head[12] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head))
        return ContentKind::Other;
    if (std::memcmp(head + 4, "ftyp", 4) == 0) {
        static constexpr const char* kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                                  "mif1", "msf1", "avif", "avis"};
        for (const char* brand : kBrands)
            if (std::memcmp(head + 8, brand, 4) == 0)
                return ContentKind::Heif;
        return ContentKind::Other;
    }
    static constexpr uint8_t kJxlBox[12] = {0, 0, 0, 0x0c, 'J', 'X', 'L', ' ', 0x0d, 0x0a, 0x87, 0x0a};
    if ((head[0] == 0xff && head[1] == 0x0a) || std::memcmp(head, kJxlBox, sizeof kJxlBox) == 0)
        return ContentKind::JpegXl;
    return ContentKind::Other;
}

void LoadModern(const std::string& path, ContentKind kind, uint32_t a, uint32_t b, int64_t limit, LoadedPhoto& result)
{
    result.decoder = kind == ContentKind::Heif ? PhotoDecoder::Heif : PhotoDecoder::JpegXl;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
    if (size <= 0 || size > kMaxModernFileBytes) {
        result.error = size <= 0 ? QT_TRANSLATE_NOOP("Reasons", "cannot read the file") : QT_TRANSLATE_NOOP("Reasons", "the file is too large");
        return;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        result.error = QT_TRANSLATE_NOOP("Reasons", "cannot read the file");
        return;
    }
    // Both decoders turn the picture by the format's own orientation (HEIF's
    // transform boxes, JPEG XL's header), which takes precedence over EXIF's:
    // no EXIF orientation is applied on top.
    DecodedPicture decoded;
    const bool ok = kind == ContentKind::Heif
        ? DecodeHeif(bytes.data(), bytes.size(), kCodecMaxSide, kCodecMaxPixels, decoded)
        : DecodeJxl(bytes.data(), bytes.size(), kCodecMaxSide, kCodecMaxPixels, decoded);
    if (!ok) {
        result.error = decoded.error;
        return;
    }
    bytes = {};
    result.metadata = std::move(decoded.metadata);
    FinishImage(std::move(decoded.image), limit, a, b, result.decoder, result);
}

// A CMYK JPEG or TIFF with its own profile: the readers above turned the
// inks into RGB by a plain formula, so they are read again, converted
// through the profile, and turned upright and downsized as the first
// reading was. The result replaces the photo only when it has the same size.
bool ConvertCmykPhoto(const std::string& path, uint32_t a, uint32_t b, int64_t limit, LoadedPhoto& result,
                      std::string& note)
{
    QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone;
    {
        const ScopedQuietTiffHandlers quietTiff;
        QImageReader reader(QString::fromStdString(path));
        turn = reader.transformation();
    }
    const bool sideways = turn & QImageIOHandler::TransformationRotate90;
    CmykPicture cmyk;
    if (!ReadCmykPixels(path, kCodecMaxPixels, 0, 0, cmyk, /*sizeOnly=*/true)) {
        note = cmyk.error;
        return false;
    }
    const int fullWidth = sideways ? cmyk.height : cmyk.width;
    const int fullHeight = sideways ? cmyk.width : cmyk.height;
    const bool reduce = a > 0 && b > 0 && int64_t(fullWidth) * fullHeight > limit;
    uint32_t newWidth = 0;
    uint32_t newHeight = 0;
    if (reduce) {
        DownsizedSize(uint32_t(fullWidth), uint32_t(fullHeight), a, b, newWidth, newHeight);
        newWidth = std::max(newWidth, 1u);
        newHeight = std::max(newHeight, 1u);
    }
    // A JPEG is decoded at the smallest DCT scale that still covers the size.
    const int atLeastWidth = reduce ? int(sideways ? newHeight : newWidth) : 0;
    const int atLeastHeight = reduce ? int(sideways ? newWidth : newHeight) : 0;
    if (!ReadCmykPixels(path, kCodecMaxPixels, atLeastWidth, atLeastHeight, cmyk)) {
        note = cmyk.error;
        return false;
    }
    PixelBuffer converted;
    if (!ConvertCmykToSrgb(cmyk.pixels.data(), cmyk.width, cmyk.height, result.metadata.icc, converted, note))
        return false;
    cmyk = {};
    QImage image(converted.data(), converted.width, converted.height, qsizetype(converted.stride()),
                 QImage::Format_BGR888);
    image = Turned(std::move(image), turn);
    if (reduce)
        image = image.scaled(int(newWidth), int(newHeight), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    LoadedPhoto upright;
    if (!FinishImage(std::move(image), std::numeric_limits<int64_t>::max(), 0, 0, result.decoder, upright)
        || !upright.ok || upright.photo.width != result.photo.width || upright.photo.height != result.photo.height) {
        note = "the CMYK picture did not match the one first read";
        return false;
    }
    result.photo = std::move(upright.photo);
    return true;
}

// Converts the photo to sRGB when the file described its colours with a
// profile; a profile that cannot be used leaves the pixels as they are.
// `path` and the threshold are given for files whose CMYK inks can be read
// again (JPEG, TIFF).
void ApplyColourProfile(LoadedPhoto& result, const std::string& path = {}, uint32_t a = 0, uint32_t b = 0,
                        int64_t limit = std::numeric_limits<int64_t>::max())
{
    PhotoMetadata& metadata = result.metadata;
    if (metadata.icc.empty())
        return;
    metadata.hadProfile = true;
    std::string note;
    if (ProfileColourSpace(metadata.icc) == ProfileSpace::Cmyk) {
        std::string why;
        if (path.empty() || !ConvertCmykPhoto(path, a, b, limit, result, why))
            note = "the photo's CMYK colour profile was not applied" + (why.empty() ? std::string() : " (" + why + ")");
    } else {
        ConvertToSrgb(result.photo, metadata.icc, note);
    }
    if (!note.empty())
        metadata.notes.push_back(note);
}

// Applies the colour profile of a photo that decoded (its metadata was read
// beside the pixels).
LoadedPhoto WithMetadata(const std::string& path, LoadedPhoto result, uint32_t a, uint32_t b, int64_t limit)
{
    if (!result.ok)
        return result;
    ApplyColourProfile(result, path, a, b, limit);
    return result;
}

} // namespace

void DownsizedSize(uint32_t width, uint32_t height, uint32_t a, uint32_t b, uint32_t& newWidth, uint32_t& newHeight)
{
    // Products stay in 64 bits; every side involved is at most 65500 and the
    // results fit 32 bits.
    if (width > height) {
        if (float(width) / float(height) <= float(a) / float(b)) {
            newWidth = uint32_t(uint64_t(width) * b / height);
            newHeight = b;
        } else {
            newWidth = a;
            newHeight = uint32_t(uint64_t(height) * a / width);
        }
    } else {
        newWidth = uint32_t(uint64_t(width) * a / height);
        newHeight = a;
    }
}

namespace {

LoadedPhoto LoadPixels(const std::string& path, int thresholdWidth, int thresholdHeight)
{
    LoadedPhoto result;
    const bool resize = thresholdWidth > 0 && thresholdHeight > 0;
    const uint32_t a = resize ? uint32_t(std::max(thresholdWidth, thresholdHeight)) : 0;
    const uint32_t b = resize ? uint32_t(std::min(thresholdWidth, thresholdHeight)) : 0;
    const int64_t limit = resize ? int64_t(a) * int64_t(b) : std::numeric_limits<int64_t>::max();

    LoadedPhoto raw;
    bool rawContent = false;
    if (IsRawPhoto(path, &rawContent)) {
        raw = DevelopRaw(path, thresholdWidth, thresholdHeight);
        // A RAW by its content, or opened by LibRaw: its photo, or why it
        // could not be developed (other readers would show only a thumbnail).
        if (raw.ok || raw.decoder == PhotoDecoder::LibRaw || rawContent)
            return raw;
    }
    const ContentKind kind = SniffContent(path);
    if (kind != ContentKind::Other) {
        LoadModern(path, kind, a, b, limit, result);
        if (result.ok)
            ApplyColourProfile(result);
        return result;
    }
    const PictureFormat* format = PictureFormatForPath(path);
    if (format && format->id == PictureFormatId::Bmp && LoadPlainBmp(path, limit, result))
        return WithMetadata(path, std::move(result), a, b, limit);
    if (!IsMetafile(path) && LoadThroughQt(path, limit, result))
        return WithMetadata(path, std::move(result), a, b, limit);
    LoadThroughCodec(path, a, b, limit, result);
    if (!result.ok && result.decoder == PhotoDecoder::None && resize && !IsMetafile(path)) {
        // Over the threshold in a format only Qt reads (WebP, say).
        LoadedPhoto viaQt;
        if (LoadThroughQt(path, limit, viaQt, a, b))
            return WithMetadata(path, std::move(viaQt), a, b, limit);
    }
    if (!result.ok && !raw.error.empty())
        result.error = raw.error;  // named as a RAW, read as nothing else
    if (!result.ok && result.error.empty())
        result.error = QT_TRANSLATE_NOOP("Reasons", "the picture could not be decoded");
    return WithMetadata(path, std::move(result), a, b, limit);
}

} // namespace

LoadedPhoto LoadPhoto(const std::string& path, int thresholdWidth, int thresholdHeight)
{
    LoadedPhoto result = LoadPixels(path, thresholdWidth, thresholdHeight);
    // A developed RAW is never the file's own pixels.
    result.differsFromFile = result.ok
        && (result.decoder == PhotoDecoder::LibRaw || result.downsized || result.photo.width != result.fileWidth
            || result.photo.height != result.fileHeight);
    return result;
}

} // namespace ombrik
