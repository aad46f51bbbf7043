#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "cli/request.h"
#include "library/library_reader.h"

// What a comparison came to: the report written, or why not, with the file
// and the numbers that explain it.
struct CompareOutcome {
    enum class Kind {
        kWritten,           // the whole report is out; `differences` says what it found
        kReadFailed,        // `file` could not be read: `read`
        kOutOfMemory,       // while reading `file`, or comparing both (`file` -1)
        kChangedMeanwhile,  // `file` changed after it was opened
        kTooManyPairs,      // the comparison was refused for its `pairs`
        kOutputFailed,      // standard output refused the report: `systemError`
        kOutputClosed,      // its reader went away (a closed pipe)
    };
    Kind kind = Kind::kWritten;
    bool differences = false;
    int file = -1;  // 0 library 1, 1 library 2, -1 both
    ReadResult read;
    std::uint64_t pairs = 0;
    int systemError = 0;
};

// Said while the comparison goes on, about library `file` (0 or 1): it is
// empty, or it does not look like a library (`read` says why).
struct FileNotice {
    enum class Kind { kEmpty, kDoubtful };
    Kind kind;
    int file;
    ReadResult read;
};
using NoticeSink = std::function<void(const FileNotice&)>;

// Maps both files, compares them and writes the report to `out`. Notices go
// to `notice` as soon as they are known, before the report.
CompareOutcome RunComparison(const CompareRequest& request, std::FILE* out,
                             const NoticeSink& notice);

// Maps the library, checks it whole and writes its listing (one record a
// line, report/library_listing.h) to `out`. A doubtful file is noticed and
// listed all the same; an empty one lists nothing, without a notice. The
// outcome's `file` is 0 and `differences` false; a comparison's kinds only
// (kTooManyPairs) never come of it.
CompareOutcome RunListing(const ListRequest& request, std::FILE* out, const NoticeSink& notice);
