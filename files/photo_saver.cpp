#include "files/photo_saver.h"

namespace ombrik {

SaveResult SavePhoto(const PixelBuffer& picture, const std::string& path, const PhotoMetadata* metadata,
                     const SaveOptions& options)
{
    SaveResult result;
    ImageEncoder encoder(path);
    if (!encoder.found()) {
        result.status = SaveStatus::NoEncoder;
        return result;
    }
    encoder.setQuality(options.quality);
    encoder.setLossless(options.lossless && encoder.supportsLossless());
    if (metadata)
        encoder.setMetadata(*metadata, options.stripMetadata);
    result.status = encoder.saveToFile(picture, path);
    if (result.ok())
        result.notes = encoder.notes();
    return result;
}

} // namespace ombrik
