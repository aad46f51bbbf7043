#pragma once

#include <functional>

// The one place where work is shared between two threads. Reading the two
// libraries, indexing them, matching and writing the reports each split their
// work in two halves and run them here at once.
//
// With the environment variable LIBCOMPARE_ONE_THREAD set (to anything but
// empty), or where no second thread can be started, the halves run one after
// the other on the calling thread, with the same results.

// Runs `first` on a second thread and `second` on this one, and returns when
// both have ended. Both always run; an exception from either is passed on
// then, the first one's where both throw.
void BothAtOnce(const std::function<void()>& first, const std::function<void()>& second);
