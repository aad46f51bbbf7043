#include "cli/cli.h"

#include "cli/request.h"
#include "cli/run.h"
#include "library/text.h"
#include "report/messages.h"

// The edge of the tool: what the request and the outcome are in words, on
// which stream, and the exit status.
namespace {

constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

void Say(std::FILE* err, const std::string& message) {
    std::fprintf(err, "libcompare-cli: %s\n", message.c_str());
}

// What is wrong with the arguments; the parser's words stay as they are.
std::string ProblemMessage(const CliRequest& request) {
    if (request.takeProblem)
        return TakeArgumentMessage(*request.takeProblem, ValidUtf8(request.given, true));
    return ArgumentProblemMessage(request.problem,
                                  request.problem == ArgumentProblem::kNotUnderstood
                                      ? request.given
                                      : ValidUtf8(request.given, true));
}

std::string NoticeMessage(const FileNotice& notice, const std::string& shown) {
    return WarningMessage(notice.kind == FileNotice::Kind::kEmpty
                              ? EmptyFileMessage(shown)
                              : DoubtfulLibraryMessage(shown, notice.read));
}

// What went wrong, in words; empty when there is nothing to say.
std::string FailureMessage(const CompareOutcome& outcome, const std::string (&shown)[2]) {
    using Kind = CompareOutcome::Kind;
    const std::string& file = shown[outcome.file == 1 ? 1 : 0];
    switch (outcome.kind) {
        case Kind::kWritten:
        case Kind::kOutputClosed:  // "| head": the output just ends
            break;
        case Kind::kReadFailed:
            return ReadFailureMessage(file, outcome.read);
        case Kind::kOutOfMemory:
            return outcome.file < 0 ? OutOfMemoryMessage(shown[0], shown[1])
                                    : OutOfMemoryMessage(file);
        case Kind::kChangedMeanwhile:
            return ChangedMeanwhileMessage(file);
        case Kind::kTooManyPairs:
            return TooManyPairsMessage(shown[0], shown[1], outcome.pairs);
        case Kind::kOutputFailed:
            return StandardOutputFailureMessage(outcome.systemError);
        case Kind::kRefused:
        case Kind::kSaveFailed:
            break;  // a take-over's (TakeOver)
    }
    return {};
}

int Status(const CompareOutcome& outcome) {
    if (outcome.kind != CompareOutcome::Kind::kWritten) return kTrouble;
    return outcome.differences ? kDifferent : kSame;
}

// What went wrong while listing the file `shown`, in words; empty when there
// is nothing to say. A read fails with the comparison's words.
std::string ListFailureMessage(const CompareOutcome& outcome, const std::string& shown) {
    using Kind = CompareOutcome::Kind;
    switch (outcome.kind) {
        case Kind::kWritten:
        case Kind::kOutputClosed:
        case Kind::kTooManyPairs:  // a comparison's only
        case Kind::kRefused:       // a take-over's only
        case Kind::kSaveFailed:
            break;
        case Kind::kReadFailed:
            return ReadFailureMessage(shown, outcome.read);
        case Kind::kOutOfMemory:
            return ListOutOfMemoryMessage(shown);
        case Kind::kChangedMeanwhile:
            return ChangedWhileListedMessage(shown);
        case Kind::kOutputFailed:
            return StandardOutputFailureMessage(outcome.systemError);
    }
    return {};
}

// --list: 0 when the whole listing is out, 2 on any trouble.
int ListLibrary(const ListRequest& request, std::FILE* out, std::FILE* err) {
    const std::string shown = ValidUtf8(request.path, true);
    const CompareOutcome outcome = RunListing(
        request, out, [&](const FileNotice& notice) { Say(err, NoticeMessage(notice, shown)); });
    if (const std::string message = ListFailureMessage(outcome, shown); !message.empty())
        Say(err, message);
    return outcome.kind == CompareOutcome::Kind::kWritten ? kSame : kTrouble;
}

// --take: 0 when library 2 with the differences taken over is written, 2 on
// any trouble, with nothing written. Names left as they were are named on
// `err`, what was written on `out`.
int TakeOver(const CliRequest& request, std::FILE* out, std::FILE* err) {
    const std::string shown[2] = {ValidUtf8(request.compare.path1, true),
                                  ValidUtf8(request.compare.path2, true)};
    const std::string output = ValidUtf8(request.take.output, true);
    const CompareOutcome outcome = RunTakeOver(
        request.compare, request.take,
        [&](const FileNotice& notice) { Say(err, NoticeMessage(notice, shown[notice.file])); });
    const TakeSummary& taken = outcome.take;
    switch (outcome.kind) {
        case CompareOutcome::Kind::kWritten:
            for (const TakeSummary::Skipped& name : taken.skipped)
                Say(err, HeldMoreThanOnceMessage(name.name, name.times1, name.times2));
            if (taken.classificationsNotTaken) Say(err, ClassificationsNotTakenMessage(output));
            std::fprintf(out, "%s\n",
                         TakenOverMessage(output, taken.changed, taken.added, taken.removed,
                                          taken.backupKept ? output + ".bak" : "")
                             .c_str());
            std::fflush(out);
            return kSame;
        case CompareOutcome::Kind::kRefused:
            Say(err, TakeRefusedMessage(output, taken.refusal));
            return kTrouble;
        case CompareOutcome::Kind::kSaveFailed:
            Say(err, SaveFailedMessage(output, taken.save));
            return kTrouble;
        default:
            if (const std::string message = FailureMessage(outcome, shown); !message.empty())
                Say(err, message);
            return kTrouble;
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    const CliRequest request = ParseArguments(arguments);
    switch (request.kind) {
        case CliRequest::Kind::kShow:
            std::fputs(request.text.c_str(), out);
            return kSame;
        case CliRequest::Kind::kInvalid:
            Say(err, ProblemMessage(request));
            return kTrouble;
        case CliRequest::Kind::kList:
            return ListLibrary(request.list, out, err);
        case CliRequest::Kind::kTake:
            return TakeOver(request, out, err);
        case CliRequest::Kind::kCompare:
            break;
    }
    const std::string shown[2] = {ValidUtf8(request.compare.path1, true),
                                  ValidUtf8(request.compare.path2, true)};
    const CompareOutcome outcome = RunComparison(
        request.compare, out,
        [&](const FileNotice& notice) { Say(err, NoticeMessage(notice, shown[notice.file])); });
    if (const std::string message = FailureMessage(outcome, shown); !message.empty())
        Say(err, message);
    return Status(outcome);
}
