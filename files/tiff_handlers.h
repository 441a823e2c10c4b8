// libtiff keeps one process-wide error and warning handler. The codec library
// installs its own, which only works inside its own decoding calls; Qt's TIFF
// plugin would call it too and abort the program on a broken TIFF. Qt's image
// reading and writing run with the handlers silenced for their duration.
#pragma once

namespace ombrik {

class ScopedQuietTiffHandlers {
public:
    ScopedQuietTiffHandlers();
    ~ScopedQuietTiffHandlers();
    ScopedQuietTiffHandlers(const ScopedQuietTiffHandlers&) = delete;
    ScopedQuietTiffHandlers& operator=(const ScopedQuietTiffHandlers&) = delete;

private:
    void* m_error;
    void* m_warning;
    void* m_errorExt;
    void* m_warningExt;
};

} // namespace ombrik
