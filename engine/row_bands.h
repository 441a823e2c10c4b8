// Work shared out over the cores. ForEachRowBand runs independent rows of an
// image on both cores: rows are cut into bands of 20 (the progress rhythm of
// the row-driven effects); the calling thread takes the even bands and a
// worker the odd ones. Progress is only ever reported from the calling thread,
// in row order, so the sink sees exactly the values a single-threaded pass
// would send. ForEachItem hands any list of independent items to every core.
#pragma once

#include <functional>

namespace ombrik {

// fn(y0, y1) processes rows y0 <= y < y1 and must touch nothing shared with
// other rows. When reportProgress is set, progress is reported for every row
// that is a multiple of 20 as in ReportRowProgress. Small images run serially.
void ForEachRowBand(int width, int height, bool reportProgress, const std::function<void(int, int)>& fn);

// The number of threads work may use by default: one per core.
int CoreCount();

// Calls fn(i) once for every 0 <= i < count, on `threads` threads at most (the
// calling thread among them): each takes the lowest item not yet taken, so
// items start in increasing order and a thread that is held up elsewhere just
// takes fewer. fn must touch nothing another item touches. first, when given,
// runs on the calling thread before it takes items, while the other threads
// already do. Returns once everything is done; with one thread or one item
// everything runs on the caller.
void ForEachItem(int count, int threads, const std::function<void(int)>& fn,
                 const std::function<void()>& first = nullptr);

} // namespace ombrik
