#include "engine/progress.h"

#include <utility>

namespace ombrik {

namespace {
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

} // namespace ombrik
