// The metadata of a camera RAW file, as a JPEG or PNG saved from it should
// carry it: the camera's EXIF tags (date, camera, lens, exposure, GPS) without
// the RAW file's own structure, maker notes or colour data; XMP and IPTC as
// found. Exiv2 reads them where it knows the format; otherwise the tags are
// made from what LibRaw read.
#pragma once

#include "files/photo_metadata.h"

#include <cstddef>
#include <string>

class LibRaw;

namespace ombrik {

// `raw` has the file open (its identification done).
PhotoMetadata ReadRawMetadata(const std::string& path, const LibRaw& raw);

// The largest embedded preview Exiv2 finds in the file (JPEG or other
// encoded bytes, at most `maxBytes`) and the file's EXIF orientation (1 when
// it has none); empty when there is none. For RAW files LibRaw cannot open.
std::string ReadEmbeddedPreview(const std::string& path, size_t maxBytes, int& orientation);

} // namespace ombrik
