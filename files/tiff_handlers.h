// libtiff keeps one process-wide error and warning handler. The codec library
// installs its own, which only works inside its own decoding calls; Qt's TIFF
// plugin would call it too and abort the program on a broken TIFF. Qt's image
// reading and writing run with the handlers silenced for their duration. The
// scopes may overlap on several threads: the first one in silences the
// handlers, the last one out puts the saved ones back.
#pragma once

namespace ombrik {

class ScopedQuietTiffHandlers {
public:
    ScopedQuietTiffHandlers();
    ~ScopedQuietTiffHandlers();
    ScopedQuietTiffHandlers(const ScopedQuietTiffHandlers&) = delete;
    ScopedQuietTiffHandlers& operator=(const ScopedQuietTiffHandlers&) = delete;
};

} // namespace ombrik
