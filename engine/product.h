// The program's name, as every window, message box and saved file shows it.
#pragma once

namespace ombrik {

inline constexpr const char* kProductTitle = "Ombrik Photo Editor";

} // namespace ombrik
