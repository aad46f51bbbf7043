#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/request.h"
#include "library/library_reader.h"
#include "library/library_writer.h"

// What a take-over wrote, or why it wrote nothing: CompareOutcome's `take`.
struct TakeSummary {
    // Records changed, added and removed in the library written.
    std::uint64_t changed = 0;
    std::uint64_t added = 0;
    std::uint64_t removed = 0;
    // Names left as they were because a library holds them more than once.
    struct Skipped {
        std::string name;  // bytes as library 1 or 2 holds them
        std::int32_t times1 = 0;
        std::int32_t times2 = 0;
    };
    std::vector<Skipped> skipped;
    bool classificationsNotTaken = false;  // the file written has the short layout
    bool backupKept = false;               // the file written over is kept as NAME.bak
    ChangeRefusal refusal;                 // kRefused
    SaveOutcome save;                      // kSaveFailed
};

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
        kRefused,           // a take-over's changes cannot be made: `take.refusal`
        kSaveFailed,        // a take-over's file could not be saved: `take.save`
    };
    Kind kind = Kind::kWritten;
    bool differences = false;
    int file = -1;  // 0 library 1, 1 library 2, -1 both
    ReadResult read;
    std::uint64_t pairs = 0;
    int systemError = 0;
    TakeSummary take;  // a take-over's
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

// Maps both files and compares them as RunComparison does, then writes library
// 2 with the differences of `take.kinds` from library 1 taken over to
// `take.output` (SaveLibraryFile; the output may be library 2 itself).
// Nothing is written when a change is refused or either file changed; names
// held more than once are left as they were and listed in `take.skipped`.
// The outcome's `differences` is false.
CompareOutcome RunTakeOver(const CompareRequest& libraries, const TakeRequest& take,
                           const NoticeSink& notice);

// Maps the library, checks it whole and writes its listing (one record a
// line, report/library_listing.h) to `out`. A doubtful file is noticed and
// listed all the same; an empty one lists nothing, without a notice. The
// outcome's `file` is 0 and `differences` false; a comparison's kinds only
// (kTooManyPairs) never come of it.
CompareOutcome RunListing(const ListRequest& request, std::FILE* out, const NoticeSink& notice);
