// Runs independent rows of an image on both cores. Rows are cut into bands of
// 20 (the progress rhythm of the row-driven effects); the calling thread takes
// the even bands and a worker the odd ones. Progress is only ever reported from
// the calling thread, in row order, so the sink sees exactly the values a
// single-threaded pass would send.
#pragma once

#include <functional>

namespace ombrik {

// fn(y0, y1) processes rows y0 <= y < y1 and must touch nothing shared with
// other rows. When reportProgress is set, progress is reported for every row
// that is a multiple of 20 as in ReportRowProgress. Small images run serially.
void ForEachRowBand(int width, int height, bool reportProgress, const std::function<void(int, int)>& fn);

} // namespace ombrik
