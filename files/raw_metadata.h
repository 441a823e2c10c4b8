// The metadata of a camera RAW file, as a JPEG or PNG saved from it should
// carry it: the camera's EXIF tags (date, camera, lens, exposure, GPS) without
// the RAW file's own structure, maker notes or colour data; XMP and IPTC as
// found. Exiv2 reads them where it knows the format; otherwise the tags are
// made from what LibRaw read.
#pragma once

#include "files/photo_metadata.h"

#include <string>

class LibRaw;

namespace ombrik {

// `raw` has the file open (its identification done).
PhotoMetadata ReadRawMetadata(const std::string& path, const LibRaw& raw);

} // namespace ombrik
