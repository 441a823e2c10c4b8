#include "files/picture_formats.h"

#include "files/codec_image.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>

namespace ombrik {

const std::vector<PictureFormat>& PictureFormats()
{
    using enum PictureFormatId;
    // clang-format off
    static const std::vector<PictureFormat> formats = {
        //id        name          extensions                      MIME types                                              Qt       read   write  lossy  lossless metadata metafile
        {Jpeg,      "JPEG",       {"jpg", "jpeg", "jpe", "jfif"}, {"image/jpeg"},                                         "jpeg",  true,  true,  true,  false, true,  false},
        {Png,       "PNG",        {"png"},                        {"image/png"},                                          "png",   true,  true,  false, true,  true,  false},
        {Tiff,      "TIFF",       {"tif", "tiff"},                {"image/tiff"},                                         "tiff",  true,  true,  false, true,  true,  false},
        {Webp,      "WebP",       {"webp"},                       {"image/webp"},                                         "webp",  true,  true,  true,  true,  true,  false},
        {Avif,      "AVIF",       {"avif"},                       {"image/avif"},                                         nullptr, true,  true,  true,  false, true,  false},
        {Heif,      "HEIF",       {"heic", "heif", "hif"},        {"image/heic", "image/heif"},                           nullptr, true,  false, false, false, false, false},
        {JpegXl,    "JPEG XL",    {"jxl"},                        {"image/jxl"},                                          nullptr, true,  true,  true,  true,  true,  false},
        {Bmp,       "BMP",        {"bmp", "dib", "rle"},          {"image/bmp"},                                          "bmp",   true,  true,  false, true,  false, false},
        {Gif,       "GIF",        {"gif"},                        {"image/gif"},                                          "gif",   true,  true,  false, false, false, false},
        {Ppm,       "PPM",        {"ppm", "pnm"},                 {"image/x-portable-pixmap", "image/x-portable-anymap"}, "ppm",   true,  true,  false, true,  false, false},
        {Pgm,       "PGM",        {"pgm"},                        {"image/x-portable-graymap"},                           "pgm",   true,  false, false, false, false, false},
        {Pbm,       "PBM",        {"pbm"},                        {"image/x-portable-bitmap"},                            "pbm",   true,  false, false, false, false, false},
        {Pcx,       "PCX",        {"pcx"},                        {"image/x-pcx"},                                        nullptr, true,  false, false, false, false, false},
        {Tga,       "TGA",        {"tga"},                        {"image/x-tga"},                                        "tga",   true,  false, false, false, false, false},
        {Ico,       "ICO",        {"ico"},                        {"image/vnd.microsoft.icon"},                           "ico",   true,  false, false, false, false, false},
        {Wbmp,      "WBMP",       {"wbmp"},                       {"image/vnd.wap.wbmp"},                                 "wbmp",  true,  false, false, false, false, false},
        {SunRaster, "Sun raster", {"ras"},                        {"image/x-sun-raster"},                                 nullptr, true,  false, false, false, false, false},
        // Metafiles are drawings that only the codec library renders. It has
        // no EMF reader: such a file is refused with a message.
        {Wmf,       "WMF",        {"wmf"},                        {"image/wmf"},                                          nullptr, true,  false, false, false, false, true},
        {Emf,       "EMF",        {"emf"},                        {"image/emf"},                                          nullptr, false, false, false, false, false, true},
        // Developed by LibRaw (raw_photo.h) and never written; Qt's TIFF
        // reader, which would show only a thumbnail, is never asked.
        {CameraRaw, "Camera RAW", {"dng", "cr2", "cr3", "nef", "nrw", "arw", "sr2", "raf", "orf", "rw2", "pef", "srw", "3fr", "iiq", "x3f"},
                                  {"image/x-adobe-dng", "image/x-canon-cr2", "image/x-canon-cr3", "image/x-nikon-nef",
                                   "image/x-nikon-nrw", "image/x-sony-arw", "image/x-sony-sr2", "image/x-fuji-raf",
                                   "image/x-olympus-orf", "image/x-panasonic-rw2", "image/x-pentax-pef",
                                   "image/x-samsung-srw", "image/x-hasselblad-3fr", "image/x-phaseone-iiq",
                                   "image/x-sigma-x3f"},                                  nullptr, true,  false, false, false, false, false},
    };
    // clang-format on
    return formats;
}

const PictureFormat* PictureFormatForExtension(std::string_view extension)
{
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const PictureFormat& format : PictureFormats())
        if (std::find(format.extensions.begin(), format.extensions.end(), lower) != format.extensions.end())
            return &format;
    return nullptr;
}

const PictureFormat* PictureFormatForPath(const std::string& path)
{
    return PictureFormatForExtension(PathExtension(path));
}

namespace {

QString Patterns(const PictureFormat& format)
{
    QStringList patterns;
    for (const std::string& extension : format.extensions)
        patterns << QStringLiteral("*.") + QString::fromStdString(extension);
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QString FileDialogFilter(const PictureFormat& format)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(format.name), Patterns(format));
}

QStringList OpenDialogFilters()
{
    QStringList all;
    QStringList filters;
    for (const PictureFormat& format : PictureFormats()) {
        if (!format.canRead)
            continue;
        all << Patterns(format);
        filters << FileDialogFilter(format);
    }
    filters.prepend(QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("PictureFormats", "(all picture files)"),
                                                  all.join(QLatin1Char(' '))));
    return filters;
}

std::vector<const PictureFormat*> WritableFormats()
{
    std::vector<const PictureFormat*> out;
    for (const PictureFormat& format : PictureFormats())
        if (format.canWrite)
            out.push_back(&format);
    return out;
}

QStringList SaveDialogFilters()
{
    QStringList filters;
    for (const PictureFormat* format : WritableFormats())
        filters << FileDialogFilter(*format);
    return filters;
}

} // namespace ombrik
