#include "files/photo_saver.h"

namespace ombrik {

SaveResult SavePhoto(const PixelBuffer& picture, const std::string& path, const PhotoMetadata* metadata,
                     const SaveOptions& options)
{
    ImageEncoder encoder(path);
    if (!encoder.found())
        return {SaveStatus::NoEncoder, {}};
    encoder.setQuality(options.quality);
    encoder.setLossless(options.lossless && encoder.supportsLossless());
    if (metadata)
        encoder.setMetadata(*metadata, options.stripMetadata);
    SaveResult result;
    result.status = encoder.saveToFile(picture, path);
    result.notes = encoder.notes();
    return result;
}

} // namespace ombrik
