#include "library/two_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace {

// Both halves run, on two threads or (LIBCOMPARE_ONE_THREAD) one after the
// other; an exception from either reaches the caller once both have ended.
TEST(BothAtOnce, RunsBothAndPassesOnAnException) {
    const struct {
        bool firstThrows, secondThrows;
        const char* caught;
    } cases[] = {
        {false, false, ""}, {true, false, "first"}, {false, true, "second"}, {true, true, "first"}};
    for (const auto& c : cases) {
        std::atomic<int> ran{0};
        std::string caught;
        try {
            BothAtOnce(
                [&] {
                    ++ran;
                    if (c.firstThrows) throw std::runtime_error("first");
                },
                [&] {
                    ++ran;
                    if (c.secondThrows) throw std::runtime_error("second");
                });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        EXPECT_EQ(ran, 2) << c.caught;
        EXPECT_EQ(caught, c.caught);
    }
}

}  // namespace
