#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "compare/take_over.h"
#include "library/library_reader.h"
#include "library/library_writer.h"

class SymbolList;

// The comparison behind the window: loads library 1 and library 2 into the
// process-wide tables, compares them, reads both again, and holds the one
// comparison that every view reads. It shows nothing and words nothing: it
// answers with values, and says by signals what it is doing.
class ComparisonSession : public QObject {
    Q_OBJECT

public:
    explicit ComparisonSession(QObject* parent = nullptr);

    // Asked, with the file's path and the sample's result, whether to read a
    // file that does not look like a symbol library; none: read it.
    using Ask = std::function<bool(const QString& path, const ReadResult& sample)>;
    void SetAsk(Ask ask) { ask_ = std::move(ask); }

    // What reading a library came to: the reader's result, or no memory left.
    struct Load {
        ReadResult read;
        bool outOfMemory = false;
        bool Succeeded() const { return !outOfMemory && static_cast<bool>(read); }
    };
    // Forgets the comparison, then reads `path` into library 1's table; its
    // names go to `names`. A file that cannot be read leaves the table as it
    // was; running out of memory leaves it empty.
    Load LoadLibrary1(const QString& path, SymbolList& names);
    // Reads `path` into library 2's table; the comparison that follows fills
    // the lists.
    Load LoadLibrary2(const QString& path);
    // Both files read anew into their tables, or, when either cannot be
    // read, neither. Files not loaded before are not read.
    Load ReadBothAgain();

    enum class Outcome { kCompared, kRefused, kOutOfMemory };
    // Compares the tables as they stand: writes the common table and its
    // count, and fills the three lists (only1, only2, common). Out of memory,
    // the lists are emptied and nothing is compared.
    Outcome Compare(SymbolList& common, SymbolList& only1, SymbolList& only2);
    // No comparison is shown any more (a new library 1, or no memory left).
    void Forget();

    const Comparison& Current() const { return comparison_; }
    // What the fields' comparison ignores, from the next Compare on.
    void SetOptions(const ComparisonOptions& options) { options_ = options; }
    const ComparisonOptions& Options() const { return options_; }
    // Whether the lists show `Current()`, or library 1 alone as read.
    bool ShowsComparison() const { return showsComparison_; }
    // The files the tables were read from; empty before.
    const QString& File1() const { return file1_; }
    const QString& File2() const { return file2_; }
    const QString& File(int library) const { return library == 1 ? file1_ : file2_; }
    // The record of library 1 (2) that row source `source` of its list
    // shows: after a comparison its unmatched records, before it every one.
    std::int64_t Only1Record(std::int64_t source) const;
    std::int64_t Only2Record(std::int64_t source) const;

    // ---- edits: differences taken over, held here until saved -------------

    // What taking over (or removing) came to: applied, or refused before
    // anything changed; the names left out, held more than once.
    struct Edit {
        bool applied = false;
        ChangeRefusal refusal;  // where refused
        std::vector<NameHeldMoreThanOnce> skipped;
        bool classificationsNotTaken = false;
        int library = 0;  // the library changed (1 or 2), where applied
    };
    // Takes the selected differences of the comparison shown into the
    // direction's target, or (with `only` records of the target) takes them
    // out of it. `fields`, where given for a pair index, limits a pair to
    // those changed fields (FieldDifference bits). The target's table is its
    // new bytes read back; the caller compares anew (Compare) to show them,
    // unless FollowedPairs says the comparison followed.
    // `name` words the step for undo (made by the caller's messages).
    Edit Take(TakeDirection direction, const TakeSelection& selection,
              const std::vector<std::pair<std::int32_t, std::uint8_t>>& fields,
              const std::string& name);
    // What taking `selection` would do, without doing it: the names it
    // would leave out (the actions are not offered for them).
    TakeOverPlan Plan(TakeDirection direction, const TakeSelection& selection);

    // One step back or forward; false when there is none. The caller
    // compares anew, unless FollowedPairs says the comparison followed.
    bool Undo();
    bool Redo();
    // Where the step last made, undone or redone changed only fields of
    // symbols held once in each library, the comparison followed it at once:
    // the pairs whose differences it worked out anew. Null: the caller
    // compares anew (Compare) to show the step.
    const std::vector<std::int32_t>* FollowedPairs() const {
        return followed_ ? &*followed_ : nullptr;
    }
    // The words of the step Undo (Redo) would take back (do again); empty:
    // none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Whether library 1 or 2 holds changes not saved; the library changed
    // last (0: none).
    bool Modified(int library) const;
    int LastEdited() const { return lastEdited_; }
    // Writes library `library`'s bytes as they stand to `path` (empty: its
    // own file), keeping the earlier file as NAME.bak; after that it is the
    // library's file and holds no unsaved changes.
    SaveOutcome Save(int library, const QString& path = {});
    // Forgets the unsaved changes of library `library` (or both: 0), and
    // their steps.
    void Discard(int library = 0);

signals:
    // The edits changed: a step made, undone, redone, saved or discarded.
    void editsChanged();
    // A file is about to be read (the window says so, and remembers its folder).
    void reading(const QString& path);
    // The comparison changed, or was forgotten.
    void comparisonChanged();
    // The comparison followed a change of fields in place: the differences
    // of these pairs were worked out anew (FollowedPairs).
    void comparisonFollowed(const std::vector<std::int32_t>& pairs);

private:
    // A library's bytes, which its table reads and edits change in place,
    // with what keeps them alive.
    struct Buffer {
        std::shared_ptr<void> owner;
        std::span<char> bytes;
    };
    // One step of edits to one library: a new file (the buffers before and
    // after), or records changed where they stand. A buffer is changed in
    // place only while its table reads it, and that is while undo and redo
    // stand between the step that made it and the next new file: so the
    // buffer before a new file is the one the table read, not a copy.
    struct Step {
        int library = 0;
        std::uint64_t serial = 0;  // names the state the step leaves
        Buffer before, after;
        std::vector<RecordPatch> patches;   // where changed in place
        std::vector<std::int32_t> records;  // the records patched
        std::string name;
    };
    // Library `library`'s table reads `buffer`, which it keeps.
    void Adopt(int library, const Buffer& buffer);
    // A library read anew: its edits and their steps are gone.
    void ForgetEdits(int library);
    // Makes `step` again (forward) or takes it back in its library's bytes,
    // and has the comparison follow where it can.
    void Apply(const Step& step, bool forward);
    // The comparison follows records of library `library` changed in place;
    // where it cannot, the caller compares anew.
    void FollowInPlace(int library, const std::vector<std::int32_t>& records);
    // The pair counts of the comparison shown, worked out once.
    const PairCounts& Counts();
    // The serial of the step library `library` stands at (0: as read).
    std::uint64_t State(int library) const;

    // Reads `path` into `table`; `buffer` gets the buffer it reads.
    ReadResult Read(const QString& path, SymbolTable& table, std::int32_t& count, SymbolList& names,
                    Buffer& buffer);

    Ask ask_;
    Comparison comparison_;
    ComparisonOptions options_;
    bool showsComparison_ = false;
    QString file1_;
    QString file2_;
    // Per library (index 0: library 1): the bytes its table reads, which
    // edits change in place; and the state its file holds (State at the
    // last save, 0: as read).
    Buffer buffers_[2];
    std::uint64_t saved_[2] = {0, 0};
    std::uint64_t nextSerial_ = 1;
    std::optional<PairCounts> counts_;
    std::optional<std::vector<std::int32_t>> followed_;
    std::vector<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are in effect
    int lastEdited_ = 0;
};
