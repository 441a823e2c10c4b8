// Sharing work out over the cores: every item is done once, whatever the
// number of threads, and the calling thread's own first task runs while the
// other threads already take items.
#include "engine/row_bands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace ombrik;

TEST(ForEachItem, EveryItemOnceOnAnyNumberOfThreads)
{
    for (int threads : {1, 2, 7})
        for (int count : {0, 1, 5, 1000}) {
            std::vector<std::atomic<int>> done(static_cast<size_t>(count));
            std::atomic<int> firsts{0};
            ForEachItem(count, threads, [&](int i) { done[size_t(i)].fetch_add(1); }, [&] { ++firsts; });
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(done[size_t(i)].load(), 1) << threads << " threads, item " << i << " of " << count;
            EXPECT_EQ(firsts.load(), 1) << threads << " threads, " << count << " items";
        }
}

TEST(ForEachItem, OneThreadRunsFirstThenTheItemsInOrderOnTheCaller)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int> order;
    ForEachItem(
        4, 1,
        [&](int i) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            order.push_back(i);
        },
        [&] { order.push_back(-1); });
    EXPECT_EQ(order, (std::vector<int>{-1, 0, 1, 2, 3}));
}

TEST(ForEachItem, TheOtherThreadsTakeItemsWhileTheCallerRunsFirst)
{
    // first waits (at most ten seconds) until another thread has done an
    // item: it can only return early if the items do not wait for it. The
    // caller takes no item before first is done.
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> elsewhere{0};
    std::atomic<bool> firstDone{false}, callerTookEarly{false};
    bool firstOnCaller = false, sawOthers = false;
    ForEachItem(
        64, 2,
        [&](int) {
            if (std::this_thread::get_id() != caller)
                ++elsewhere;
            else if (!firstDone.load())
                callerTookEarly = true;
        },
        [&] {
            firstOnCaller = std::this_thread::get_id() == caller;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (elsewhere.load() == 0 && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            sawOthers = elsewhere.load() > 0;
            firstDone = true;
        });
    EXPECT_TRUE(firstOnCaller);
    EXPECT_TRUE(sawOthers);
    EXPECT_FALSE(callerTookEarly.load());
}
