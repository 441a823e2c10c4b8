// Process-wide progress reporting. Long effects report a percent while they run;
// the window (or the command-line tool) installs a sink that shows it. The
// default sink does nothing. Effects run on one thread, so the sink is called
// synchronously from inside the effect.
#pragma once

#include <functional>

namespace ombrik {

using ProgressSink = std::function<void(int percent)>;

// Installs the sink; an empty function restores the default (silent) sink.
// Returns the previous sink so callers can restore it.
ProgressSink SetProgressSink(ProgressSink sink);

// Sends one progress value (0..100) to the sink.
void ReportProgress(int percent);

// The row-driven rule: at the start of a row whose index is a multiple of 20,
// report truncate(row / height × 100) computed in double precision.
inline void ReportRowProgress(int row, int height)
{
    if (row % 20 == 0 && height > 0)
        ReportProgress(int(double(row) / double(height) * 100.0));
}

// Stopping a long effect. The window (Cancel, Escape) or the command line
// (Ctrl+C) asks; engines look between rows or strokes and return early. What
// they leave in the destination is then incomplete and the caller discards
// it. The flag is a lock-free atomic, so a signal handler may set it.
void RequestCancel();
void ClearCancel();
bool CancelRequested();

// Installs a sink for the lifetime of the object and restores the old one after.
class ScopedProgressSink {
public:
    explicit ScopedProgressSink(ProgressSink sink) : m_previous(SetProgressSink(std::move(sink))) {}
    ~ScopedProgressSink() { SetProgressSink(std::move(m_previous)); }
    ScopedProgressSink(const ScopedProgressSink&) = delete;
    ScopedProgressSink& operator=(const ScopedProgressSink&) = delete;

private:
    ProgressSink m_previous;
};

} // namespace ombrik
