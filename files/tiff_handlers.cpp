#include "files/tiff_handlers.h"

#include <tiffio.h>

namespace ombrik {

ScopedQuietTiffHandlers::ScopedQuietTiffHandlers()
    : m_error(reinterpret_cast<void*>(TIFFSetErrorHandler(nullptr))),
      m_warning(reinterpret_cast<void*>(TIFFSetWarningHandler(nullptr))),
      m_errorExt(reinterpret_cast<void*>(TIFFSetErrorHandlerExt(nullptr))),
      m_warningExt(reinterpret_cast<void*>(TIFFSetWarningHandlerExt(nullptr)))
{
}

ScopedQuietTiffHandlers::~ScopedQuietTiffHandlers()
{
    TIFFSetErrorHandler(reinterpret_cast<TIFFErrorHandler>(m_error));
    TIFFSetWarningHandler(reinterpret_cast<TIFFErrorHandler>(m_warning));
    TIFFSetErrorHandlerExt(reinterpret_cast<TIFFErrorHandlerExt>(m_errorExt));
    TIFFSetWarningHandlerExt(reinterpret_cast<TIFFErrorHandlerExt>(m_warningExt));
}

} // namespace ombrik
