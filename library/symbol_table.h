#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "library/prefetch.h"

// One symbol: the name and its three descriptive fields, as raw 8-bit bytes
// (Windows-1252 when shown). The views point into storage that the owning
// SymbolTable keeps alive.
struct SymbolEntry {
    std::string_view symbol;
    std::string_view designation;
    std::string_view classification1;
    std::string_view classification2;
};

// Layout of a symbol library file (".1"). Both bytes 0xFF at the start select
// the long layout; anything else the short one.
enum class LibraryLayout { kLong, kShort };

inline constexpr std::uint64_t kRecordBase = 14;
inline constexpr std::uint64_t kLongRecordSize = 144;
inline constexpr std::uint64_t kShortRecordSize = 64;
inline constexpr std::uint64_t kShortDesignationOffset = 18;

// Record `record` of a library file held in `bytes`, by the field rule: each
// field runs from its start up to the first NUL, line feed or end of file.
SymbolEntry ReadRecord(std::string_view bytes, LibraryLayout layout, std::uint64_t record);
// Just the symbol of that record.
std::string_view ReadRecordSymbol(std::string_view bytes, LibraryLayout layout,
                                  std::uint64_t record);

// A file's bytes, read whole. Not initialised before they are read into.
class FileBytes {
public:
    explicit FileBytes(std::size_t size)
        : data_(std::make_unique_for_overwrite<char[]>(size)), size_(size) {}
    char* data() { return data_.get(); }
    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

// The byte buffers that a table's entries point into.
using SymbolStorage = std::vector<std::shared_ptr<const void>>;

// The slots of a table written one by one.
using SlotVector = std::vector<SymbolEntry>;

// A growable table of symbol slots. Library tables number their records from
// 1 (slot 0 is never used); the common table fills from slot 0. A slot that
// was never written reads as four empty fields.
//
// A table read from a file keeps the file's bytes and finds a record's fields
// in them when asked, so it costs no memory beyond the file. The common table
// copies nothing either: each of its slots names a slot of library 2's table,
// whose bytes it shares. A table keeps alive exactly what its slots point
// into: filling it anew lets go of everything the earlier content held.
class SymbolTable {
public:
    // Slot `slot`; any slot outside the table reads as empty.
    SymbolEntry operator[](std::int64_t slot) const;
    // Just the symbol of slot `slot`.
    std::string_view Symbol(std::int64_t slot) const;
    // Asks for slot `slot`'s bytes to be brought into the cache, for a read
    // of it a little later (see library/prefetch.h). Reads nothing itself but
    // the pick of a picked table.
    void Prefetch(std::int64_t slot) const;
    // In a pass over the slots `pass[0…]` that is at `at`, asks for the
    // slot some steps ahead. Records that lie apart in the file (the
    // unmatched ones, those of pairs) are read in a fraction of the time so.
    template <typename Pass>
    void PrefetchAhead(const Pass& pass, std::size_t at) const {
        if (at + kPrefetchAhead < pass.size()) Prefetch(pass[at + kPrefetchAhead]);
    }

    // Number of slots held.
    std::int64_t Size() const;

    // Writes copies of the four texts into slot `slot`, growing the table.
    void Assign(std::int64_t slot, std::string_view symbol, std::string_view designation = {},
                std::string_view classification1 = {}, std::string_view classification2 = {});

    // Replaces the whole content by `fresh`. `storage` owns every byte the
    // fresh entries point into.
    void Replace(SlotVector fresh, SymbolStorage storage);

    // Replaces the whole content by the records of a library file: slot i
    // (1 to records) is record i of `bytes`, read by `layout`. `owner` keeps
    // the bytes valid (a buffer they were read into, or a mapping of the file).
    void ReplaceWithFile(std::string_view bytes, std::shared_ptr<const void> owner,
                         LibraryLayout layout, std::int64_t records);

    // Replaces the whole content by a selection of `source`'s slots: slot k
    // reads as source[picks[k]]. Every pick must lie inside `source`.
    void Pick(const SymbolTable& source, std::vector<std::int32_t> picks);

    const SymbolStorage& Storage() const;

    // False for a table read from a short-layout file, whose records have no
    // classifications.
    bool HasClassifications() const;

    // The bytes of the file the table was read from (ReplaceWithFile), kept
    // alive by Storage(); empty for a table written slot by slot.
    std::string_view FileView() const {
        return content_->fromFile ? content_->file : std::string_view();
    }

private:
    // What the slots read from: slots written one by one, or a file.
    struct Content {
        SlotVector entries;
        bool fromFile = false;
        std::string_view file;  // the file's bytes, owned through `storage`
        LibraryLayout layout = LibraryLayout::kShort;
        std::int64_t records = 0;  // of the file; slots 0..records
        SymbolStorage storage;     // what the slots point into, the file too

        std::int64_t Size() const {
            return fromFile ? records + 1 : static_cast<std::int64_t>(entries.size());
        }
    };

    // Slot `slot` of content_, inside it.
    std::size_t Underlying(std::int64_t slot) const {
        const auto at = static_cast<std::size_t>(slot);
        return picks_ ? static_cast<std::size_t>((*picks_)[at]) : at;
    }
    // Gives this table content of its own that nobody else reads.
    void Unshare();

    std::shared_ptr<Content> content_ = std::make_shared<Content>();  // may be shared
    std::shared_ptr<const std::vector<std::int32_t>> picks_;  // null: slot k is content slot k
};

// The process-wide tables: library 1, library 2 and the symbols both hold.
extern SymbolTable lib1Table;
extern SymbolTable lib2Table;
extern SymbolTable commonTable;
extern std::int32_t lib1Count;
extern std::int32_t lib2Count;
extern std::int32_t commonCount;
