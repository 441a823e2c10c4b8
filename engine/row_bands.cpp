#include "engine/row_bands.h"

#include "engine/progress.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace ombrik {

namespace {
constexpr int kBand = 20;
constexpr long kParallelMinPixels = 200000;
} // namespace

void ForEachRowBand(int width, int height, bool reportProgress, const std::function<void(int, int)>& fn)
{
    if (width <= 0 || height <= 0)
        return;
    const int bands = (height + kBand - 1) / kBand;
    const bool parallel = long(width) * long(height) >= kParallelMinPixels && bands > 1
        && std::thread::hardware_concurrency() > 1;
    if (!parallel) {
        for (int b = 0; b < bands; ++b) {
            if (CancelRequested())
                return;
            const int y0 = b * kBand;
            if (reportProgress)
                ReportRowProgress(y0, height);
            fn(y0, std::min(height, y0 + kBand));
        }
        return;
    }

    // Bands done by the worker, counted in order; the calling thread reports a
    // worker band's progress once it knows the worker has reached it.
    std::atomic<int> workerStarted{-1};
    std::thread worker([&] {
        for (int b = 1; b < bands; b += 2) {
            if (CancelRequested())
                break;
            workerStarted.store(b, std::memory_order_release);
            fn(b * kBand, std::min(height, (b + 1) * kBand));
        }
    });
    int reported = -1;
    auto reportUpTo = [&](int band) {
        for (; reported < band; ++reported)
            if (reportProgress)
                ReportRowProgress((reported + 1) * kBand, height);
    };
    for (int b = 0; b < bands; b += 2) {
        if (CancelRequested())
            break;
        // Report the worker's band before ours only if it has begun it.
        if (b > 0 && workerStarted.load(std::memory_order_acquire) >= b - 1)
            reportUpTo(b - 1);
        if (reported == b - 1)
            reportUpTo(b);
        fn(b * kBand, std::min(height, (b + 1) * kBand));
    }
    worker.join();
    if (!CancelRequested())
        reportUpTo(bands - 1);
}

int CoreCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

void ForEachItem(int count, int threads, const std::function<void(int)>& fn, const std::function<void()>& first)
{
    threads = std::clamp(threads, 1, std::max(count, 1));
    if (threads == 1) {
        if (first)
            first();
        for (int i = 0; i < count; ++i)
            fn(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next.fetch_add(1, std::memory_order_relaxed); i < count;
             i = next.fetch_add(1, std::memory_order_relaxed))
            fn(i);
    };
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(threads - 1));
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    if (first)
        first();
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace ombrik
