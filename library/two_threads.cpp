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
    if (!other.valid()) {
        first();
        second();
        return;
    }
    std::exception_ptr failure;
    try {
        second();
    } catch (...) {
        failure = std::current_exception();
    }
    other.get();  // waits; throws the first one's exception
    if (failure) std::rethrow_exception(failure);
}
