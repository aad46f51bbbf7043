#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_list.h"
#include "library/symbol_table.h"

// A record that matched at least once carries this mark, while a comparison
// runs.
inline constexpr std::int32_t kMatchMark = 42;

// A name held m times in library 1 and n times in library 2 gives m × n common
// entries. Beyond this many in all, a comparison is refused: the result would
// take gigabytes and minutes to show.
inline constexpr std::uint64_t kMaxCommonPairs = 20'000'000;

// Which fields of a matched pair differ, as bits.
enum FieldDifference : std::uint8_t {
    kDesignationDiffers = 1,
    kClassification1Differs = 2,
    kClassification2Differs = 4,
};

// What a comparison leaves aside when it compares the fields of a matched
// pair; names are always matched byte for byte. None set: every field byte
// for byte, as without options.
struct ComparisonOptions {
    // Fields equal but for case are equal: A-Z and the accented capitals of
    // Windows-1252 fold to their small letters, as the lists' second level
    // of sorting folds them ("ÄRGER" and "ärger"; not "Ärger" and "Arger").
    bool ignoreCase = false;
    // Blanks at the start and end of a field do not count: spaces, tabs and
    // no-break spaces ("Relais " and "Relais").
    bool ignoreBlanks = false;
    // Only designations are compared, also between two long-layout
    // libraries.
    bool ignoreClassifications = false;

    bool Any() const { return ignoreCase || ignoreBlanks || ignoreClassifications; }
    bool operator==(const ComparisonOptions&) const = default;
};

// Whether two field values count as equal under `options`.
bool SameField(std::string_view a, std::string_view b, const ComparisonOptions& options);

// One library as it was compared: its table (sharing the bytes of the table
// it was given), its number of records and its layout.
struct ComparedLibrary {
    SymbolTable table;
    std::int32_t count = 0;
    LibraryLayout layout = LibraryLayout::kLong;
};

// Two records with the same name, one of each library, and which of their
// compared fields changed (FieldDifference bits; 0: unchanged). Packed: nine
// bytes a pair, not twelve, at up to twenty million pairs.
#pragma pack(push, 1)
struct MatchedPair {
    std::int32_t record1 = 0;
    std::int32_t record2 = 0;
    std::uint8_t differences = 0;
    bool operator==(const MatchedPair&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(MatchedPair) == 9);

// Everything one comparison found, as one value that every view reads: the
// lists, their marks, the status line, the reports and the export. It copies
// no names or fields: it refers to records of the two tables it holds.
struct Comparison {
    ComparedLibrary lib1;
    ComparedLibrary lib2;
    // What the fields were compared with.
    ComparisonOptions options;
    // Classifications are compared only when both libraries have them (the
    // long layout) and the options do not leave them aside; otherwise only
    // designations are.
    bool classificationsCompared = true;
    // The matched pairs in the order found (library-2 record order, then
    // library-1 record order): common entry k is pairs[k]. For a name held m
    // times in library 1 and n times in library 2, with "identical" meaning
    // the same compared fields:
    //  - identical records are paired off one to one: each library-2 record
    //    of the name, in record order, takes the first identical library-1
    //    record not yet taken;
    //  - the records left over on each side are paired in record order; a
    //    further left-over record of library 2 goes with the name's first
    //    library-1 record, a further one of library 1 with the name's first
    //    library-2 record;
    //  - exactly these pairs of left-over records are changed where their
    //    records differ.
    // So {alt} against {alt, NEU} changes alt -> NEU, a file against itself
    // changes nothing, and a name held once on each side changes when its
    // two records differ. The differences of all other pairs are 0.
    std::vector<MatchedPair> pairs;
    // The changed pairs, by index into `pairs`, in the order found.
    std::vector<std::int32_t> changed;
    // The records that matched nothing, in record order.
    std::vector<std::int32_t> only1;
    std::vector<std::int32_t> only2;
    // True when the comparison was refused because it would find more than
    // kMaxCommonPairs common entries; `pairCount` says how many. Then nothing
    // else is filled.
    bool refused = false;
    std::uint64_t pairCount = 0;

    // Whether `other` found the same (the tables aside).
    bool SameFindings(const Comparison& other) const {
        return pairs == other.pairs && changed == other.changed && only1 == other.only1 &&
               only2 == other.only2 && refused == other.refused && pairCount == other.pairCount &&
               classificationsCompared == other.classificationsCompared && options == other.options;
    }
    // Anything only in one library, or a changed pair.
    bool HasDifferences() const { return !changed.empty() || !only1.empty() || !only2.empty(); }
    SymbolEntry Record1(const MatchedPair& pair) const { return lib1.table[pair.record1]; }
    SymbolEntry Record2(const MatchedPair& pair) const { return lib2.table[pair.record2]; }
};

// Matches library 2 against library 1 by name (byte for byte): records 1 to
// `lib1Count` and 1 to `lib2Count`, counts clamped to what the tables hold;
// the fields of the pairs compared as `options` say. A pair that the
// options make equal is no change anywhere, and counts as identical where
// the records of a name held more than once are paired off.
Comparison CompareTables(const SymbolTable& lib1, std::int32_t lib1Count, const SymbolTable& lib2,
                         std::int32_t lib2Count, const ComparisonOptions& options = {});

// The same result by a plain nested loop: every library-2 record against every
// library-1 record. Quadratic; the reference the indexed comparison answers to.
Comparison CompareTablesNestedLoop(const SymbolTable& lib1, std::int32_t lib1Count,
                                   const SymbolTable& lib2, std::int32_t lib2Count,
                                   const ComparisonOptions& options = {});

// Works out anew, after their records changed in place, the differences of
// the pairs `pairIndexes` (indexes into comparison.pairs), and which pairs
// are changed. Each must be the only pair of its name (a name held once in
// each library), whose pairing no change of fields can alter: then the
// comparison is what CompareTables finds for the tables as they now read.
void RefreshPairs(Comparison& comparison, std::vector<std::int32_t> pairIndexes);

// What a comparison writes in the system: rewrites `common` from slot 0 with
// library 2's entries of the pairs, sets `commonCount`, empties the three
// lists (only1, only2, common) and fills them: one common line per pair, then
// the unmatched records of library 2, then of library 1. A refused comparison
// leaves the lists and `common` empty and `commonCount` 0.
void PublishComparison(const Comparison& comparison, SymbolTable& common, std::int32_t& commonCount,
                       SymbolList& commonList, SymbolList& only1List, SymbolList& only2List);

// Compares the process-wide library tables into the common table and the lists.
Comparison CompareLibraries(SymbolList& commonList, SymbolList& only1List, SymbolList& only2List);

// A name only in one library that another name only in the other library
// matches but for case and surrounding blanks ("Motor" and "motor ").
struct NearMiss {
    std::string_view name;         // in the library asked about
    std::string_view counterpart;  // the first such name in the other library
    std::int32_t record = 0;       // of `name`
};

// The near misses of each library's unmatched records among the other's
// unmatched records, each list in its library's record order.
struct NearMissLists {
    std::vector<NearMiss> lib1;  // names in library 1, counterparts in library 2
    std::vector<NearMiss> lib2;  // names in library 2, counterparts in library 1
};
NearMissLists NearMisses(const Comparison& comparison);
