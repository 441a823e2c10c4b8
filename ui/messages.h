// Window messages between the canvas, the panels and the main window. They keep
// their historical numbers (user range, 0x400 + n) and are delivered
// synchronously through MessageTarget. They live here rather than in app/
// because the canvas, below the application layer, sends them.
#pragma once

#include <cstdint>

namespace ombrik {

inline constexpr uint32_t WM_USER = 0x400;

inline constexpr uint32_t WM_TEMPLATE_CHANGED = WM_USER + 51;
inline constexpr uint32_t WM_TEXT_CHANGED = WM_USER + 56;
inline constexpr uint32_t WM_CANVAS_VSCROLL = WM_USER + 104;
inline constexpr uint32_t WM_CANVAS_HSCROLL = WM_USER + 105;
inline constexpr uint32_t WM_EFFECT_COMMAND = WM_USER + 108;
inline constexpr uint32_t WM_SHOW_CONTEXT_MENU = WM_USER + 113;
inline constexpr uint32_t WM_APPLY_DECORATION = WM_USER + 115;
inline constexpr uint32_t WM_LEAVE_PREVIEW = WM_USER + 118;
inline constexpr uint32_t WM_TEXT_COMMAND = WM_USER + 124;
inline constexpr uint32_t WM_HISTORY_CHANGED = WM_USER + 125;
inline constexpr uint32_t WM_EFFECT_PROGRESS = WM_USER + 129;

// Scroll codes carried by WM_CANVAS_VSCROLL / WM_CANVAS_HSCROLL.
enum ScrollCode : int {
    ScrollLineBack = 0,
    ScrollLineForward = 1,
    ScrollPageBack = 2,
    ScrollPageForward = 3,
    ScrollThumbPosition = 4,
    ScrollThumbTrack = 5,
    ScrollToStart = 6,
    ScrollToEnd = 7,
};

// Receives messages synchronously; the main window implements it.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual intptr_t sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

} // namespace ombrik
