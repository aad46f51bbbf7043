#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/symbol_list.h"
#include "library/symbol_table.h"

// A record that matched at least once carries this mark.
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

// Everything a comparison found, beyond the common table and the lists.
struct CompareResult {
    // True when the comparison was refused because it would find more than
    // kMaxCommonPairs common entries; `pairs` says how many.
    bool refused = false;
    std::uint64_t pairs = 0;
    // One mark per record, indexed like the library tables (slot 0 unused).
    std::vector<std::int32_t> lib1Marks;
    std::vector<std::int32_t> lib2Marks;
    // For common entry k: the library-1 and library-2 records that matched.
    std::vector<std::int32_t> commonLib1Record;
    std::vector<std::int32_t> commonLib2Record;
    // Classifications are compared only when both libraries have them (the
    // long layout); otherwise only designations are.
    bool classificationsCompared = true;
    // For common entry k: which of its compared fields changed between the
    // two libraries (FieldDifference bits; 0: unchanged). A pair changed when
    // its records differ and neither record has an identical twin among the
    // other library's records of that name.
    std::vector<std::uint8_t> commonDifferences;
    // The changed common entries, those with differences, in the order found.
    std::vector<std::int32_t> changed;
};

// Matches library 2 against library 1 by name (byte for byte). Rewrites
// `common` from slot 0 with library 2's entries in the order found (library-2
// record order, then library-1 record order), sets `commonCount`, empties the
// three lists (only1, only2, common) and fills them: one common line per
// matching pair, then the unmatched records of library 2, then of library 1.
//
// When the comparison would find more than kMaxCommonPairs common entries it
// is refused: the lists are emptied and stay empty, `common` is emptied and
// `commonCount` becomes 0; the library tables are only read, as always.
CompareResult CompareTables(const SymbolTable& lib1, std::int32_t lib1Count,
                            const SymbolTable& lib2, std::int32_t lib2Count, SymbolTable& common,
                            std::int32_t& commonCount, SymbolList& commonList,
                            SymbolList& only1List, SymbolList& only2List);

// The same result by a plain nested loop: every library-2 record against every
// library-1 record. Quadratic; the reference the indexed comparison answers to.
CompareResult CompareTablesNestedLoop(const SymbolTable& lib1, std::int32_t lib1Count,
                                      const SymbolTable& lib2, std::int32_t lib2Count,
                                      SymbolTable& common, std::int32_t& commonCount,
                                      SymbolList& commonList, SymbolList& only1List,
                                      SymbolList& only2List);

// Compares the process-wide library tables into the common table.
CompareResult CompareLibraries(SymbolList& commonList, SymbolList& only1List,
                               SymbolList& only2List);

// A name only in one library that another name only in the other library
// matches but for case and surrounding blanks ("Motor" and "motor ").
struct NearMiss {
    std::string_view name;         // in the library asked about
    std::string_view counterpart;  // the first such name in the other library
};

// The near misses of each library's unmatched records among the other's
// unmatched records, each list in its library's record order.
struct NearMissLists {
    std::vector<NearMiss> lib1;  // names in library 1, counterparts in library 2
    std::vector<NearMiss> lib2;  // names in library 2, counterparts in library 1
};
NearMissLists NearMisses(const SymbolTable& lib1, const std::vector<std::int32_t>& lib1Marks,
                         const SymbolTable& lib2, const std::vector<std::int32_t>& lib2Marks);

// The German message for a refused comparison of the two named files (UTF-8).
std::string TooManyPairsMessage(const std::string& file1, const std::string& file2,
                                std::uint64_t pairs);

// `number` with German digit grouping: 16.000.000.
std::string GermanNumber(std::uint64_t number);
