#include "light/light_rows.h"

#include "engine/row_bands.h"

#include <thread>

namespace ombrik {

void ForEachLightRow(int width, int height, bool afterRow, const std::function<void(int)>& renderRow,
                     const std::function<void(int)>& rowDone)
{
    if (width <= 0 || height <= 0)
        return;
    const std::thread::id caller = std::this_thread::get_id();
    int next = 0; // first row not yet signalled; touched by the calling thread only
    auto signalThrough = [&](int y) {
        for (; next <= y; ++next)
            rowDone(next);
    };
    ForEachRowBand(width, height, false, [&](int y0, int y1) {
        if (std::this_thread::get_id() != caller) {
            for (int y = y0; y < y1; ++y)
                renderRow(y);
            return;
        }
        for (int y = y0; y < y1; ++y) {
            if (!afterRow)
                signalThrough(y);
            renderRow(y);
            if (afterRow)
                signalThrough(y);
        }
    });
    signalThrough(height - 1);
}

} // namespace ombrik
