#include "cli/run.h"

#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

#include "cli/mapped_file.h"
#include "compare/take_over.h"
#include "library/two_threads.h"
#include "report/library_listing.h"

namespace {

using Kind = CompareOutcome::Kind;

CompareOutcome Failure(Kind kind, int file = -1) {
    CompareOutcome outcome;
    outcome.kind = kind;
    outcome.file = file;
    return outcome;
}

CompareOutcome ReadFailed(int file, const ReadResult& read) {
    CompareOutcome outcome = Failure(
        read.status == ReadStatus::kOutOfMemory ? Kind::kOutOfMemory : Kind::kReadFailed, file);
    outcome.read = read;
    return outcome;
}

// Standard output refused what was written to it: `cause` is the error
// number the write left. A closed pipe (e.g. "| head") just ends the output.
CompareOutcome OutputFailure(int cause) {
    if (std::error_code(cause, std::generic_category()) == std::errc::broken_pipe)
        return Failure(Kind::kOutputClosed);
    CompareOutcome outcome = Failure(Kind::kOutputFailed);
    outcome.systemError = cause;
    return outcome;
}

// Writes `bytes` to `out` while `intact` says the files are as they were.
bool WriteWhileIntact(std::string_view bytes, std::FILE* out, const std::function<bool()>& intact) {
    return intact() && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

// One comparison, step by step. What the tool says about the files holds only
// while they stay as they were when opened: Intact() is asked after every
// step, before every piece of the report, and, once the last byte is out,
// thoroughly by Finish(), which every outcome passes. A file that changed
// meanwhile turns whatever came of it (a failed read too, whose zeros may
// well look like no library) into kChangedMeanwhile.
class Comparing {
public:
    Comparing(const CompareRequest& request, std::FILE* out, const NoticeSink& notice,
              const TakeRequest* take = nullptr)
        : request_(request), out_(out), notice_(notice), take_(take) {}

    CompareOutcome Run() {
        std::optional<CompareOutcome> failure;
        try {
            failure = Steps();
        } catch (const std::bad_alloc&) {
            failure = Failure(Kind::kOutOfMemory);
        }
        return Finish(failure.value_or(written_));
    }

private:
    // The steps in order; the first failure ends them, and so does a file
    // found shortened after any of them (Finish names it).
    std::optional<CompareOutcome> Steps() {
        using Step = std::optional<CompareOutcome> (Comparing::*)();
        const Step last = take_ ? &Comparing::Take : &Comparing::Write;
        for (const Step step : {&Comparing::Open, &Comparing::Sample, &Comparing::Judge,
                                &Comparing::Adopt, &Comparing::Compare, last}) {
            if (auto failure = (this->*step)()) return failure;
            if (!Intact(false)) return Failure(Kind::kChangedMeanwhile);
        }
        return std::nullopt;
    }

    // Maps both files.
    std::optional<CompareOutcome> Open() {
        for (int i = 0; i < 2; ++i) {
            files_[i] = MappedFile::Open(PathFromUtf8(i == 0 ? request_.path1 : request_.path2),
                                         samples_[i]);
            if (!files_[i]) return ReadFailed(i, samples_[i]);
        }
        return std::nullopt;
    }

    // Each file is judged on a sample first, so that a notice comes at once.
    std::optional<CompareOutcome> Sample() {
        const auto sample = [&](int i) { samples_[i] = MeasureLibraryBytes(files_[i]->Bytes()); };
        BothAtOnce([&] { sample(0); }, [&] { sample(1); });
        return std::nullopt;
    }

    // What the samples say: a file that cannot be read ends the run, an empty
    // or a doubtful one is noticed and compared all the same.
    std::optional<CompareOutcome> Judge() {
        for (int i = 0; i < 2; ++i) {
            if (!samples_[i]) return ReadFailed(i, samples_[i]);
            if (samples_[i].fileSize == 0)
                notice_({FileNotice::Kind::kEmpty, i, samples_[i]});
            else if (samples_[i].Doubtful())
                notice_({FileNotice::Kind::kDoubtful, i, samples_[i]});
        }
        return std::nullopt;
    }

    // Both files checked whole, at the same time.
    std::optional<CompareOutcome> Adopt() {
        ReadResult reads[2];
        const auto adopt = [&](int i) {
            try {
                DiscardingSymbolList names;
                reads[i] =
                    AdoptLibraryBytes(files_[i]->Bytes(), files_[i], tables_[i], counts_[i], names);
            } catch (const std::bad_alloc&) {
                reads[i] = ReadFailure(ReadStatus::kOutOfMemory);
            }
        };
        BothAtOnce([&] { adopt(0); }, [&] { adopt(1); });
        for (int i = 0; i < 2; ++i)
            if (!reads[i]) return ReadFailed(i, reads[i]);
        return std::nullopt;
    }

    std::optional<CompareOutcome> Compare() {
        comparison_ = std::make_unique<Comparison>(
            CompareTables(tables_[0], counts_[0], tables_[1], counts_[1], request_.options));
        if (comparison_->refused) {
            CompareOutcome outcome = Failure(Kind::kTooManyPairs);
            outcome.pairs = comparison_->pairCount;
            return outcome;
        }
        return std::nullopt;
    }

    std::optional<CompareOutcome> Write() {
        errno = 0;
        const std::function<bool()> intact = [this] { return Intact(false); };
        const ReportSink sink = [&](std::string_view bytes) {
            return WriteWhileIntact(bytes, out_, intact);
        };
        const bool written =
            WriteReport(*comparison_, {request_.path1, request_.path2}, request_.format, sink) &&
            std::fflush(out_) == 0 && !std::ferror(out_);
        if (written) {
            written_.differences = comparison_->HasDifferences();
            return std::nullopt;
        }
        return OutputFailure(errno);  // before the files are examined, which sets it too
    }

    // Library 2 with the differences taken over, made in memory and saved
    // once both files are known to be as they were read.
    std::optional<CompareOutcome> Take() {
        constexpr TakeDirection kInto2 = TakeDirection::kIntoLibrary2;
        const TakeOverPlan plan =
            PlanTakeOver(*comparison_, kInto2, SelectKinds(*comparison_, kInto2, take_->kinds));
        TakeSummary& summary = written_.take;
        for (const NameHeldMoreThanOnce& name : plan.skipped)
            summary.skipped.push_back({std::string(name.name), name.times1, name.times2});
        summary.classificationsNotTaken = plan.classificationsNotTaken;
        summary.changed = plan.changes.changed.size();
        summary.added = plan.changes.added.size();
        summary.removed = plan.changes.removed.size();
        const ChangedLibrary result =
            ApplyChanges(files_[1]->Bytes(), comparison_->lib2.layout, counts_[1], plan.changes);
        if (!result) {
            CompareOutcome outcome = Failure(Kind::kRefused, 1);
            outcome.take.refusal = result.refusal;
            return outcome;
        }
        if (!Intact(true)) return Failure(Kind::kChangedMeanwhile, changed_);
        // Nothing refers to the files any more: let go of them, as Windows
        // lets nobody replace a file while it is mapped.
        comparison_.reset();
        for (int i = 0; i < 2; ++i) {
            tables_[i] = SymbolTable();
            files_[i].reset();
        }
        const std::filesystem::path output = PathFromUtf8(take_->output);
        std::error_code ec;
        summary.backupKept = std::filesystem::exists(output, ec);
        const SaveOutcome saved = SaveLibraryFile(output, result.bytes);
        if (!saved) {
            CompareOutcome outcome = Failure(Kind::kSaveFailed, 1);
            outcome.take.save = saved;
            return outcome;
        }
        return std::nullopt;
    }

    // Whether both files are as they were opened; the first that is not is
    // kept in changed_. `thorough` also asks the system, which takes a few
    // calls, rather than only what the reads saw.
    bool Intact(bool thorough) {
        for (int i = 0; i < 2 && changed_ < 0; ++i)
            if (files_[i] && (thorough ? files_[i]->Changed() : files_[i]->Shortened()))
                changed_ = i;
        return changed_ < 0;
    }

    CompareOutcome Finish(CompareOutcome outcome) {
        if (Intact(true)) return outcome;
        return Failure(Kind::kChangedMeanwhile, changed_);
    }

    const CompareRequest& request_;
    std::FILE* out_;
    const NoticeSink& notice_;
    const TakeRequest* take_;  // null: a comparison's report
    std::shared_ptr<const MappedFile> files_[2];
    ReadResult samples_[2];
    SymbolTable tables_[2];
    std::int32_t counts_[2] = {0, 0};
    std::unique_ptr<Comparison> comparison_;
    CompareOutcome written_;
    int changed_ = -1;
};

// One library's listing, step by step, checked as a comparison is: Intact()
// after every step and before every piece of the listing, thoroughly once the
// last byte is out.
class Listing {
public:
    Listing(const ListRequest& request, std::FILE* out, const NoticeSink& notice)
        : request_(request), out_(out), notice_(notice) {}

    CompareOutcome Run() {
        std::optional<CompareOutcome> failure;
        try {
            failure = Steps();
        } catch (const std::bad_alloc&) {
            failure = Failure(Kind::kOutOfMemory, 0);
        }
        return Finish(failure.value_or(CompareOutcome{}));
    }

private:
    std::optional<CompareOutcome> Steps() {
        using Step = std::optional<CompareOutcome> (Listing::*)();
        for (const Step step :
             {&Listing::Open, &Listing::Judge, &Listing::Adopt, &Listing::Write}) {
            if (auto failure = (this->*step)()) return failure;
            if (!Intact(false)) return Failure(Kind::kChangedMeanwhile, 0);
        }
        return std::nullopt;
    }

    std::optional<CompareOutcome> Open() {
        ReadResult failure;
        file_ = MappedFile::Open(PathFromUtf8(request_.path), failure);
        if (!file_) return ReadFailed(0, failure);
        return std::nullopt;
    }

    // A file that cannot be read ends the run at once, a doubtful one is
    // noticed and listed all the same; an empty one just lists nothing.
    std::optional<CompareOutcome> Judge() {
        const ReadResult sample = MeasureLibraryBytes(file_->Bytes());
        if (!sample) return ReadFailed(0, sample);
        if (sample.fileSize > 0 && sample.Doubtful())
            notice_({FileNotice::Kind::kDoubtful, 0, sample});
        return std::nullopt;
    }

    // The file checked whole; the table reads its records from the mapping.
    std::optional<CompareOutcome> Adopt() {
        ReadResult read;
        try {
            DiscardingSymbolList names;
            read = AdoptLibraryBytes(file_->Bytes(), file_, table_, count_, names);
        } catch (const std::bad_alloc&) {
            read = ReadFailure(ReadStatus::kOutOfMemory);
        }
        if (!read) return ReadFailed(0, read);
        return std::nullopt;
    }

    std::optional<CompareOutcome> Write() {
        errno = 0;
        const std::function<bool()> intact = [this] { return Intact(false); };
        const bool written = WriteLibraryListing(table_, count_,
                                                 [&](std::string_view bytes) {
                                                     return WriteWhileIntact(bytes, out_, intact);
                                                 }) &&
                             std::fflush(out_) == 0 && !std::ferror(out_);
        if (written) return std::nullopt;
        return OutputFailure(errno);  // before the file is examined, which sets it too
    }

    // Whether the file is as it was opened; `thorough` as in Comparing.
    bool Intact(bool thorough) {
        if (!changed_ && file_ && (thorough ? file_->Changed() : file_->Shortened()))
            changed_ = true;
        return !changed_;
    }

    CompareOutcome Finish(CompareOutcome outcome) {
        if (Intact(true)) return outcome;
        return Failure(Kind::kChangedMeanwhile, 0);
    }

    const ListRequest& request_;
    std::FILE* out_;
    const NoticeSink& notice_;
    std::shared_ptr<const MappedFile> file_;
    SymbolTable table_;
    std::int32_t count_ = 0;
    bool changed_ = false;
};

}  // namespace

CompareOutcome RunListing(const ListRequest& request, std::FILE* out, const NoticeSink& notice) {
    return Listing(request, out, notice).Run();
}

CompareOutcome RunComparison(const CompareRequest& request, std::FILE* out,
                             const NoticeSink& notice) {
    return Comparing(request, out, notice).Run();
}

CompareOutcome RunTakeOver(const CompareRequest& libraries, const TakeRequest& take,
                           const NoticeSink& notice) {
    return Comparing(libraries, nullptr, notice, &take).Run();
}
