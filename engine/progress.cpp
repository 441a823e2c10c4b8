#include "engine/progress.h"

#include <atomic>
#include <utility>

namespace ombrik {

namespace {
std::atomic<bool> g_cancel{false};
static_assert(std::atomic<bool>::is_always_lock_free);

ProgressSink& CurrentSink()
{
    static ProgressSink sink;
    return sink;
}
} // namespace

ProgressSink SetProgressSink(ProgressSink sink)
{
    return std::exchange(CurrentSink(), std::move(sink));
}

void ReportProgress(int percent)
{
    if (auto& sink = CurrentSink())
        sink(percent);
}

void RequestCancel()
{
    g_cancel.store(true, std::memory_order_relaxed);
}

void ClearCancel()
{
    g_cancel.store(false, std::memory_order_relaxed);
}

bool CancelRequested()
{
    return g_cancel.load(std::memory_order_relaxed);
}

} // namespace ombrik
