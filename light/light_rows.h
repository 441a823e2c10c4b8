// Row loop shared by the light renderers: rows are independent, so they run on
// both cores, while a per-row callback (progress) still runs on the calling
// thread in strict row order, as a single pass would call it.
#pragma once

#include <functional>

namespace ombrik {

// Calls renderRow(y) once for every row 0 <= y < height, from either thread.
// Calls rowDone(y) for every row in increasing order on the calling thread:
// just before that thread starts row y, or, when afterRow is set, just after
// it finishes row y. Rows the helper thread renders are signalled when the
// calling thread moves past them.
void ForEachLightRow(int width, int height, bool afterRow, const std::function<void(int)>& renderRow,
                     const std::function<void(int)>& rowDone);

} // namespace ombrik
