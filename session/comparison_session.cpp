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
                                   SymbolList& names) {
    // A name handed over in bytes that are no UTF-8 (from the command line)
    // arrives with � in their place and names no file any more.
    if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path))
        return ReadFailure(ReadStatus::kCannotOpen,
                           static_cast<int>(std::errc::illegal_byte_sequence));
    emit reading(path);
    return ReadLibraryFile(ToPath(path), table, count, names,
                           [this, &path](const ReadResult& read) {
                               return !read.Doubtful() || !ask_ || ask_(path, read);
                           });
}

ComparisonSession::Load ComparisonSession::LoadLibrary1(const QString& path, SymbolList& names) {
    Forget();
    Load load;
    try {
        load.read = Read(path, lib1Table, lib1Count, names);
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
        load.read = Read(path, lib2Table, lib2Count, names);
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
    DiscardingSymbolList names;
    Load load;
    try {
        load.read = Read(file1_, table1, count1, names);
        if (load.read) load.read = Read(file2_, table2, count2, names);
    } catch (const std::bad_alloc&) {
        load.outOfMemory = true;
        return load;
    }
    if (!load.read) return load;
    lib1Table = std::move(table1);
    lib1Count = count1;
    lib2Table = std::move(table2);
    lib2Count = count2;
    ForgetEdits(1);
    ForgetEdits(2);
    return load;
}

ComparisonSession::Outcome ComparisonSession::Compare(SymbolList& common, SymbolList& only1,
                                                      SymbolList& only2) {
    try {
        comparison_ = CompareTables(lib1Table, lib1Count, lib2Table, lib2Count, options_);
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

std::shared_ptr<const std::string> ComparisonSession::Current(int library) {
    auto& current = current_[library - 1];
    if (!current) {
        current = std::make_shared<const std::string>(TableOf(library).FileView());
        if (!saved_[library - 1]) saved_[library - 1] = current;
    }
    return current;
}

void ComparisonSession::Adopt(int library, std::shared_ptr<const std::string> bytes) {
    DiscardingSymbolList names;
    const std::string_view view = *bytes;
    // Bytes made by ApplyChanges, which read them back: they read.
    AdoptLibraryBytes(view, bytes, TableOf(library), library == 1 ? lib1Count : lib2Count, names);
    current_[library - 1] = std::move(bytes);
}

TakeOverPlan ComparisonSession::Plan(TakeDirection direction,
                                     const TakeSelection& selection) const {
    if (!showsComparison_ || comparison_.refused) return {};
    return PlanTakeOver(comparison_, direction, selection);
}

ComparisonSession::Edit ComparisonSession::Take(
    TakeDirection direction, const TakeSelection& selection,
    const std::vector<std::pair<std::int32_t, std::uint8_t>>& fields, const std::string& name) {
    Edit edit;
    if (!showsComparison_ || comparison_.refused) return edit;
    TakeOverPlan plan = PlanTakeOver(comparison_, direction, selection);
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
    const std::shared_ptr<const std::string> before = Current(target);
    ChangedLibrary changed = ApplyChanges(*before, library.layout, library.count, plan.changes);
    if (!changed) {
        edit.refusal = changed.refusal;
        return edit;
    }
    auto after = std::make_shared<const std::string>(std::move(changed.bytes));
    steps_.resize(done_);
    steps_.push_back({target, before, after, name});
    done_ = steps_.size();
    Adopt(target, std::move(after));
    lastEdited_ = target;
    edit.applied = true;
    edit.library = target;
    emit editsChanged();
    return edit;
}

bool ComparisonSession::Undo() {
    if (done_ == 0) return false;
    const Step& step = steps_[--done_];
    Adopt(step.library, step.before);
    lastEdited_ = step.library;
    emit editsChanged();
    return true;
}

bool ComparisonSession::Redo() {
    if (done_ == steps_.size()) return false;
    const Step& step = steps_[done_++];
    Adopt(step.library, step.after);
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

bool ComparisonSession::Modified(int library) const {
    return current_[library - 1] != saved_[library - 1];
}

SaveOutcome ComparisonSession::Save(int library, const QString& path) {
    const QString target = path.isEmpty() ? (library == 1 ? file1_ : file2_) : path;
    const SaveOutcome saved = SaveLibraryFile(ToPath(target), TableOf(library).FileView());
    if (!saved) return saved;
    saved_[library - 1] = current_[library - 1];
    (library == 1 ? file1_ : file2_) = target;
    emit editsChanged();
    return saved;
}

void ComparisonSession::Discard(int library) {
    for (int which : {1, 2}) {
        if (library != 0 && which != library) continue;
        if (Modified(which)) Adopt(which, saved_[which - 1]);
        ForgetEdits(which);
    }
    emit editsChanged();
}

void ComparisonSession::ForgetEdits(int library) {
    current_[library - 1].reset();
    saved_[library - 1].reset();
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
