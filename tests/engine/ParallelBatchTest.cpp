// The parallel loop of pagewright-batch --jobs: an exception from any of its
// threads reaches the caller, after every thread has returned, instead of
// ending the program.

#include "engine/ParallelBatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace pw {
namespace {

TEST(ForEachEntryInParallel, AnExceptionOnAnyThreadReachesTheCallerOnceAllHaveReturned) {
    const std::thread::id caller = std::this_thread::get_id();
    for (bool onHelper : {true, false}) {
        std::atomic<int> running{0}, calls{0};
        try {
            ForEachEntryInParallel(1000, 4, [] { return false; }, [&](size_t i) {
                ++running;
                ++calls;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                --running;
                if ((std::this_thread::get_id() != caller) == onHelper)
                    throw std::runtime_error("entry " + std::to_string(i));
            });
            ADD_FAILURE() << "nothing was thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("entry ", 0), 0u);
        }
        // No call was still running, and the entries not yet taken were left.
        EXPECT_EQ(running.load(), 0);
        EXPECT_LT(calls.load(), 1000);
    }
}

TEST(ForEachEntryInParallel, EveryEntryRunsOnceWithoutFailures) {
    std::vector<std::atomic<int>> calls(100);
    ForEachEntryInParallel(calls.size(), 3, [] { return false; }, [&](size_t i) { ++calls[i]; });
    for (const auto& c : calls)
        EXPECT_EQ(c.load(), 1);
}

}  // namespace
}  // namespace pw
