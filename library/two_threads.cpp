#include "library/two_threads.h"

#include <cstdlib>
#include <exception>
#include <future>
#include <system_error>

namespace {

bool OneThread() {
    static const bool one = [] {
        const char* value = std::getenv("LIBCOMPARE_ONE_THREAD");
        return value != nullptr && *value != '\0';
    }();
    return one;
}

}  // namespace

void BothAtOnce(const std::function<void()>& first, const std::function<void()>& second) {
    std::future<void> other;
    if (!OneThread()) {
        try {
            other = std::async(std::launch::async, first);
        } catch (const std::system_error&) {
            // No thread to be had: one after the other, below.
        }
    }
    std::exception_ptr failures[2];
    if (!other.valid()) {
        try {
            first();
        } catch (...) {
            failures[0] = std::current_exception();
        }
    }
    try {
        second();
    } catch (...) {
        failures[1] = std::current_exception();
    }
    if (other.valid()) {
        try {
            other.get();  // waits for the first
        } catch (...) {
            failures[0] = std::current_exception();
        }
    }
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}
