// The picture formats the editor knows, one row each: names, extensions,
// MIME types and what the editor does with them. The Open and Save As
// filters, the loader's choice by extension, the encoders, the batch's folder
// walk and its --format, and the desktop entry's MIME types all come from
// this one table; a new format is a new row.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace ombrik {

enum class PictureFormatId {
    Jpeg, Png, Tiff, Webp, Avif, Heif, JpegXl, Bmp, Gif, Ppm, Pgm, Pbm, Pcx, Tga, Ico, Wbmp, SunRaster, Wmf, Emf,
    CameraRaw,
};

struct PictureFormat {
    PictureFormatId id;
    const char* name;                     // "JPEG XL", shown in the file dialogs
    std::vector<std::string> extensions;  // lower case, no dot; a save offers the first
    std::vector<std::string> mimeTypes;   // the first is the encoder's
    const char* qtFormat;  // Qt's reader and writer key ("jpeg"); nullptr when Qt has none
    bool canRead;    // the loader opens it
    bool canWrite;   // the saver writes it
    bool lossy;      // written with a quality: detail is given up for size
    bool lossless;   // can be written keeping every pixel
    bool metadata;   // the saved file carries EXIF, XMP, IPTC and the sRGB tag
    // A drawing: only the codec library renders it; Qt is never asked to
    // read such a file, whatever it holds.
    bool metafile = false;

    // The format offers both: a quality, or lossless instead.
    bool losslessChoice() const { return lossy && lossless; }
    const std::string& writtenExtension() const { return extensions.front(); }
};

// Every row, in the order the dialogs list them.
const std::vector<PictureFormat>& PictureFormats();

// The row of an extension (without its dot, any case); nullptr when none.
const PictureFormat* PictureFormatForExtension(std::string_view extension);
// The row of a path's extension (the text after its last '.').
const PictureFormat* PictureFormatForPath(const std::string& path);

// "JPEG (*.jpg *.jpeg *.jpe *.jfif)".
QString FileDialogFilter(const PictureFormat& format);
// The Open dialog's filters: "(all picture files)" with every extension the
// loader opens, then one filter per format it opens.
QStringList OpenDialogFilters();
// The Save As dialog's filters: one per format the saver writes, in the order
// of PictureFormats() less the formats it only reads.
QStringList SaveDialogFilters();
// The formats those filters stand for, in the same order.
std::vector<const PictureFormat*> WritableFormats();

} // namespace ombrik
