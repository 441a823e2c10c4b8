#include "files/tiff_handlers.h"

#include <tiffio.h>

#include <mutex>

namespace ombrik {

namespace {

struct SavedHandlers {
    std::mutex lock;
    int depth = 0;
    TIFFErrorHandler error = nullptr;
    TIFFErrorHandler warning = nullptr;
    TIFFErrorHandlerExt errorExt = nullptr;
    TIFFErrorHandlerExt warningExt = nullptr;
};

SavedHandlers& Saved()
{
    static SavedHandlers saved;
    return saved;
}

} // namespace

ScopedQuietTiffHandlers::ScopedQuietTiffHandlers()
{
    SavedHandlers& s = Saved();
    const std::lock_guard guard(s.lock);
    if (s.depth++ > 0)
        return;
    s.error = TIFFSetErrorHandler(nullptr);
    s.warning = TIFFSetWarningHandler(nullptr);
    s.errorExt = TIFFSetErrorHandlerExt(nullptr);
    s.warningExt = TIFFSetWarningHandlerExt(nullptr);
}

ScopedQuietTiffHandlers::~ScopedQuietTiffHandlers()
{
    SavedHandlers& s = Saved();
    const std::lock_guard guard(s.lock);
    if (--s.depth > 0)
        return;
    TIFFSetErrorHandler(s.error);
    TIFFSetWarningHandler(s.warning);
    TIFFSetErrorHandlerExt(s.errorExt);
    TIFFSetWarningHandlerExt(s.warningExt);
}

} // namespace ombrik
