#include "session/comparison_session.h"

#include <QFileInfo>
#include <filesystem>
#include <new>
#include <system_error>

#include "library/symbol_list.h"
#include "library/symbol_table.h"

namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

ComparisonSession::ComparisonSession(QObject* parent) : QObject(parent) {}

ReadResult ComparisonSession::Read(const QString& path, SymbolTable& table, std::int32_t& count,
                                   SymbolList& names, Buffer& buffer) {
    // A name handed over in bytes that are no UTF-8 (from the command line)
    // arrives with � in their place and names no file any more.
    if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path))
        return ReadFailure(ReadStatus::kCannotOpen,
                           static_cast<int>(std::errc::illegal_byte_sequence));
    emit reading(path);
    std::shared_ptr<FileBytes> read;
    ReadResult result = ReadLibraryFile(
        ToPath(path), table, count, names,
        [this, &path](const ReadResult& sample) {
            return !sample.Doubtful() || !ask_ || ask_(path, sample);
        },
        &read);
    if (result) buffer = {read, std::span<char>(read->data(), read->size())};
    return result;
}

ComparisonSession::Load ComparisonSession::LoadLibrary1(const QString& path, SymbolList& names) {
    Forget();
    Load load;
    try {
        load.read = Read(path, lib1Table, lib1Count, names, buffers_[0]);
    } catch (const std::bad_alloc&) {
        lib1Count = 0;
        load.outOfMemory = true;
        return load;
    }
    if (load.read) {
        file1_ = path;
        ForgetEdits(1);
    }
    return load;
}

ComparisonSession::Load ComparisonSession::LoadLibrary2(const QString& path) {
    Load load;
    DiscardingSymbolList names;  // the comparison lists them
    try {
        load.read = Read(path, lib2Table, lib2Count, names, buffers_[1]);
    } catch (const std::bad_alloc&) {
        lib2Count = 0;
        load.outOfMemory = true;
        Forget();
        return load;
    }
    if (load.read) {
        file2_ = path;
        ForgetEdits(2);
    }
    return load;
}

ComparisonSession::Load ComparisonSession::ReadBothAgain() {
    // Into tables of their own first: if either cannot be read, nothing changes.
    SymbolTable table1, table2;
    std::int32_t count1 = 0, count2 = 0;
    Buffer buffer1, buffer2;
    DiscardingSymbolList names;
    Load load;
    try {
        load.read = Read(file1_, table1, count1, names, buffer1);
        if (load.read) load.read = Read(file2_, table2, count2, names, buffer2);
    } catch (const std::bad_alloc&) {
        load.outOfMemory = true;
        return load;
    }
    if (!load.read) return load;
    lib1Table = std::move(table1);
    lib1Count = count1;
    lib2Table = std::move(table2);
    lib2Count = count2;
    buffers_[0] = std::move(buffer1);
    buffers_[1] = std::move(buffer2);
    ForgetEdits(1);
    ForgetEdits(2);
    return load;
}

ComparisonSession::Outcome ComparisonSession::Compare(SymbolList& common, SymbolList& only1,
                                                      SymbolList& only2) {
    try {
        counts_.reset();
        comparison_ = CompareTables(lib1Table, lib1Count, lib2Table, lib2Count, options_);
        // Worked out now, so that the first difference taken over is as
        // quick as the next.
        if (!comparison_.refused) counts_.emplace(comparison_);
        PublishComparison(comparison_, commonTable, commonCount, common, only1, only2);
    } catch (const std::bad_alloc&) {
        for (SymbolList* list : {&only1, &only2, &common}) list->Empty();
        Forget();
        return Outcome::kOutOfMemory;
    }
    showsComparison_ = true;
    emit comparisonChanged();
    return comparison_.refused ? Outcome::kRefused : Outcome::kCompared;
}

void ComparisonSession::Forget() {
    // Let go of the comparison and of the libraries it holds.
    comparison_ = {};
    counts_.reset();
    commonCount = 0;
    showsComparison_ = false;
    emit comparisonChanged();
}

std::int64_t ComparisonSession::Only1Record(std::int64_t source) const {
    if (!showsComparison_) return source + 1;
    return comparison_.only1[static_cast<std::size_t>(source)];
}

std::int64_t ComparisonSession::Only2Record(std::int64_t source) const {
    return comparison_.only2[static_cast<std::size_t>(source)];
}

// ---- edits ------------------------------------------------------------------

namespace {

SymbolTable& TableOf(int library) {
    return library == 1 ? lib1Table : lib2Table;
}

}  // namespace

void ComparisonSession::Adopt(int library, const Buffer& buffer) {
    DiscardingSymbolList names;
    buffers_[library - 1] = buffer;
    // Bytes read before, or made by ApplyChanges, which read them back: they read.
    AdoptLibraryBytes(std::string_view(buffer.bytes.data(), buffer.bytes.size()), buffer.owner,
                      TableOf(library), library == 1 ? lib1Count : lib2Count, names);
}

const PairCounts& ComparisonSession::Counts() {
    if (!counts_) counts_.emplace(comparison_);
    return *counts_;
}

TakeOverPlan ComparisonSession::Plan(TakeDirection direction, const TakeSelection& selection) {
    if (!showsComparison_ || comparison_.refused) return {};
    return PlanTakeOver(comparison_, direction, selection, &Counts());
}

ComparisonSession::Edit ComparisonSession::Take(
    TakeDirection direction, const TakeSelection& selection,
    const std::vector<std::pair<std::int32_t, std::uint8_t>>& fields, const std::string& name) {
    Edit edit;
    if (!showsComparison_ || comparison_.refused) return edit;
    TakeOverPlan plan = PlanTakeOver(comparison_, direction, selection, &Counts());
    edit.skipped = plan.skipped;
    edit.classificationsNotTaken = plan.classificationsNotTaken;
    const int target = direction == TakeDirection::kIntoLibrary2 ? 2 : 1;
    // A pair limited to some of its fields: the others stay as they are.
    for (const auto& [index, bits] : fields) {
        if (index < 0 || static_cast<std::size_t>(index) >= comparison_.pairs.size()) continue;
        const MatchedPair& pair = comparison_.pairs[static_cast<std::size_t>(index)];
        const std::int32_t record = target == 2 ? pair.record2 : pair.record1;
        for (FieldChanges& change : plan.changes.changed) {
            if (change.record != record) continue;
            if (!(bits & kDesignationDiffers)) change.designation.reset();
            if (!(bits & kClassification1Differs)) change.classification1.reset();
            if (!(bits & kClassification2Differs)) change.classification2.reset();
        }
    }
    std::erase_if(plan.changes.changed, [](const FieldChanges& change) {
        return !change.designation && !change.classification1 && !change.classification2;
    });
    if (plan.changes.Empty()) return edit;
    const ComparedLibrary& library = target == 2 ? comparison_.lib2 : comparison_.lib1;
    Step step{target, nextSerial_, {}, {}, {}, {}, name};
    if (plan.changes.added.empty() && plan.changes.removed.empty()) {
        // Fields alone: changed where the records stand, a few records' bytes.
        PatchedLibrary patched = PatchRecords(buffers_[target - 1].bytes, library.layout,
                                              library.count, plan.changes.changed);
        if (patched.inPlace && !patched) {
            edit.refusal = patched.refusal;
            return edit;
        }
        if (patched) {
            step.patches = std::move(patched.patches);
            for (const FieldChanges& change : plan.changes.changed)
                step.records.push_back(change.record);
        }
    }
    if (step.patches.empty()) {
        // A file of another length: made anew from the bytes as they stand.
        ChangedLibrary changed =
            ApplyChanges(TableOf(target).FileView(), library.layout, library.count, plan.changes);
        if (!changed) {
            edit.refusal = changed.refusal;
            return edit;
        }
        step.before = buffers_[target - 1];
        auto after = std::make_shared<std::string>(std::move(changed.bytes));
        step.after = {after, std::span<char>(after->data(), after->size())};
    }
    ++nextSerial_;
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    // The patches are written already; a new file is adopted.
    const Step& made = steps_.back();
    if (made.patches.empty())
        Apply(made, true);
    else
        FollowInPlace(target, made.records);
    lastEdited_ = target;
    edit.applied = true;
    edit.library = target;
    emit editsChanged();
    return edit;
}

void ComparisonSession::FollowInPlace(int library, const std::vector<std::int32_t>& records) {
    followed_.reset();
    if (!showsComparison_ || comparison_.refused) return;
    const PairCounts& counts = Counts();
    std::vector<std::int32_t> pairs;
    for (const std::int32_t record : records) {
        const std::int32_t k =
            library == 1 ? counts.SolePairOf1(record) : counts.SolePairOf2(record);
        if (k < 0) return;  // paired otherwise since: compared anew
        pairs.push_back(k);
    }
    RefreshPairs(comparison_, pairs);
    followed_ = std::move(pairs);
    emit comparisonFollowed(*followed_);
}

void ComparisonSession::Apply(const Step& step, bool forward) {
    if (step.patches.empty()) {
        Adopt(step.library, forward ? step.after : step.before);
        followed_.reset();
        return;
    }
    (forward ? RedoPatches : UndoPatches)(buffers_[step.library - 1].bytes, step.patches);
    FollowInPlace(step.library, step.records);
}

bool ComparisonSession::Undo() {
    if (done_ == 0) return false;
    const Step& step = steps_[--done_];
    Apply(step, false);
    lastEdited_ = step.library;
    emit editsChanged();
    return true;
}

bool ComparisonSession::Redo() {
    if (done_ == steps_.size()) return false;
    const Step& step = steps_[done_++];
    Apply(step, true);
    lastEdited_ = step.library;
    emit editsChanged();
    return true;
}

std::string ComparisonSession::UndoName() const {
    return done_ > 0 ? steps_[done_ - 1].name : std::string();
}

std::string ComparisonSession::RedoName() const {
    return done_ < steps_.size() ? steps_[done_].name : std::string();
}

std::uint64_t ComparisonSession::State(int library) const {
    for (std::size_t i = done_; i-- > 0;)
        if (steps_[i].library == library) return steps_[i].serial;
    return 0;
}

bool ComparisonSession::Modified(int library) const {
    return State(library) != saved_[library - 1];
}

SaveOutcome ComparisonSession::Save(int library, const QString& path) {
    const QString target = path.isEmpty() ? (library == 1 ? file1_ : file2_) : path;
    const SaveOutcome saved = SaveLibraryFile(ToPath(target), TableOf(library).FileView());
    if (!saved) return saved;
    saved_[library - 1] = State(library);
    (library == 1 ? file1_ : file2_) = target;
    emit editsChanged();
    return saved;
}

void ComparisonSession::Discard(int library) {
    for (int which : {1, 2}) {
        if (library != 0 && which != library) continue;
        if (Modified(which)) {
            // Back to the bytes as read, the newest step first; a library
            // saved since is read from its file again.
            for (std::size_t i = done_; i-- > 0;)
                if (steps_[i].library == which) Apply(steps_[i], false);
            followed_.reset();
            if (saved_[which - 1] != 0) {
                DiscardingSymbolList names;
                SymbolTable table;
                std::int32_t count = 0;
                std::shared_ptr<FileBytes> bytes;
                if (ReadLibraryFile(ToPath(File(which)), table, count, names, {}, &bytes)) {
                    TableOf(which) = std::move(table);
                    (which == 1 ? lib1Count : lib2Count) = count;
                    buffers_[which - 1] = {bytes, std::span<char>(bytes->data(), bytes->size())};
                }
            }
        }
        ForgetEdits(which);
    }
    emit editsChanged();
}

void ComparisonSession::ForgetEdits(int library) {
    saved_[library - 1] = 0;
    std::size_t kept = 0, done = 0;
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        if (steps_[i].library == library) continue;
        if (i < done_) ++done;
        steps_[kept++] = std::move(steps_[i]);
    }
    steps_.resize(kept);
    done_ = done;
    if (lastEdited_ == library) lastEdited_ = 0;
}
