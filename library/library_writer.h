#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_table.h"

// Writing a library back: the changes to make to one library file as read,
// the new file's bytes made from them, and saving those bytes in place of
// the file. No words: what went wrong is a reason and what it concerns.
//
// Values are bytes as a library holds them (Windows-1252), never converted.

// One of a record's four fields.
enum class LibraryField : std::uint8_t {
    kSymbol,
    kDesignation,
    kClassification1,
    kClassification2
};

// New values for some fields of one record of the file read; a field
// without a value stays as it is.
struct FieldChanges {
    std::int32_t record = 0;  // 1-based, in the file read
    std::optional<std::string> designation;
    std::optional<std::string> classification1;
    std::optional<std::string> classification2;
};

// A record to add, by its four fields. `wholeRecord`, when set, is the whole
// record as another library of the same layout holds it (up to a record's
// size; shorter for the last record of a file that ends inside it): then
// every byte of it is copied, also those beyond its fields' terminators.
// It must read as the four fields; otherwise the record is laid out from
// the fields alone.
struct AddedRecord {
    std::string symbol;
    std::string designation;
    std::string classification1;
    std::string classification2;
    std::optional<std::string> wholeRecord;
};

// The changes to one library: fields changed in some of its records, records
// removed (by their 1-based number in the file read) and records added (in
// this order, after the last record). A record is changed or removed at most
// once, never both.
struct LibraryChanges {
    std::vector<FieldChanges> changed;
    std::vector<std::int32_t> removed;
    std::vector<AddedRecord> added;

    bool Empty() const { return changed.empty() && removed.empty() && added.empty(); }
};

// Why changes cannot be made. The record, the symbol and the field they
// concern come with it (ChangeRefusal).
enum class ChangeProblem : std::uint8_t {
    kNone,
    kNotAsRead,          // the bytes' layout or number of records is not the one given
    kNoSuchRecord,       // a record number outside 1 to the number of records
    kRecordTwice,        // a record changed or removed more than once, or both
    kForbiddenByte,      // a value holds a NUL or a line feed
    kDoesNotFit,         // the fields do not fit in a record of the layout
    kNoClassifications,  // a classification for a short-layout library, which has none
    kReadsOtherwise,     // a record whose fields run on past its end would read otherwise
};

struct ChangeRefusal {
    ChangeProblem problem = ChangeProblem::kNone;
    std::int32_t record = 0;  // of the file read; 0 for an added record or the whole file
    std::string symbol;       // the symbol of the record concerned
    LibraryField field = LibraryField::kSymbol;  // the field concerned, where one is
};

// The new file's bytes, or why there are none.
struct ChangedLibrary {
    ChangeRefusal refusal;  // kNone when `bytes` are the new file
    std::string bytes;
    explicit operator bool() const { return refusal.problem == ChangeProblem::kNone; }
};

// The room a record has for its fields, terminators included: long records
// hold all four fields, each ended by a NUL, in kLongRecordSize bytes; short
// records the symbol before kShortDesignationOffset and the designation
// before the record's end, each ended by a NUL.
inline constexpr std::uint64_t kShortSymbolRoom = kShortDesignationOffset - 1;  // 17
inline constexpr std::uint64_t kShortDesignationRoom =
    kShortRecordSize - kShortDesignationOffset - 1;  // 45

// The file `original` (read with `layout` and `records` records, as the
// reader found them) with `changes` made:
//  - every byte outside the records (the marker, the bytes up to record 1)
//    stays as it is, and so does every byte of a record nobody touched;
//  - removed records go, the others keep their order;
//  - added records follow the last record, each in a record of its own; a
//    last record that the file ends inside is filled up with NUL bytes first
//    (it reads the same);
//  - a changed field is written where the reader reads it; the record's other
//    bytes stay as they were, and bytes a shorter field frees become NUL;
//  - the layout stays the layout read.
// Refuses, before anything is made, a value with a NUL or a line feed,
// fields that do not fit their record, classifications for a short-layout
// library, and anything that would make a record read otherwise than it
// should (the result is read back record by record). The first refusal in
// the order of `changes` (changed, removed, added) is given.
ChangedLibrary ApplyChanges(std::string_view original, LibraryLayout layout, std::int32_t records,
                            const LibraryChanges& changes);

// A record's bytes before and after a change made where it stands.
struct RecordPatch {
    std::uint64_t at = 0;  // offset of the record in the file
    std::string before;
    std::string after;
};

// Changes to fields made in place, or why not.
struct PatchedLibrary {
    ChangeRefusal refusal;  // kNone when made (or when not inPlace)
    // What was written, in order; UndoPatches takes it back.
    std::vector<RecordPatch> patches;
    // False, and nothing changed, where the changes need a file of another
    // size (a last record that the file ends inside is filled up when
    // written): ApplyChanges makes it.
    bool inPlace = true;
    explicit operator bool() const { return inPlace && refusal.problem == ChangeProblem::kNone; }
};

// Changes fields of records of `file` (as read with `layout` and `records`
// records) where the records stand, with the bytes and the refusals that
// ApplyChanges gives for the same `changed` and nothing removed or added:
// then `file` holds exactly the bytes ApplyChanges would make. Refused, the
// bytes are as they were. It costs a few records' bytes, not the file's.
PatchedLibrary PatchRecords(std::span<char> file, LibraryLayout layout, std::int32_t records,
                            const std::vector<FieldChanges>& changed);
// Takes patches back (in reverse order), or makes them again.
void UndoPatches(std::span<char> file, const std::vector<RecordPatch>& patches);
void RedoPatches(std::span<char> file, const std::vector<RecordPatch>& patches);

// How saving a library file ended: the step that failed and the system's
// error number (the C library's errno where there is one, 0 where not).
struct SaveOutcome {
    enum class Step : std::uint8_t {
        kSaved,
        kCreateTemporary,  // the temporary file beside the target could not be created
        kWriteTemporary,   // writing or flushing it failed (e.g. the disk is full)
        kVerify,           // it could not be read back, or read back other bytes
        kKeepBackup,       // the existing file could not be kept as NAME.bak
        kReplace,          // the temporary file could not take the target's place
    };
    Step step = Step::kSaved;
    int systemError = 0;
    explicit operator bool() const { return step == Step::kSaved; }
};

// The name of the copy of the file at `path` that a save keeps: path + ".bak".
std::filesystem::path BackupPath(const std::filesystem::path& path);

// Writes `bytes` as the file at `path`: into a temporary file in the same
// folder, flushed, read back and compared; an existing file at `path` is kept
// as BackupPath(path) (replacing an older one); then the temporary file takes
// its place. On failure the file at `path` is as it was and the temporary
// file is gone.
SaveOutcome SaveLibraryFile(const std::filesystem::path& path, std::string_view bytes);
