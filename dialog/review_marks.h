#pragma once

#include <QString>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "compare/compare.h"
#include "report/messages.h"

// Which differences the user has checked, kept for the contents of the two
// files compared: they come back when the same two files are compared again
// (also after a restart), and not when either file changed.

// A 64-bit hash of `bytes` to tell contents apart (not against an attacker):
// XXH3 (Debian's libxxhash), several gigabytes a second, so that a library
// of a hundred megabytes costs a few dozen milliseconds.
std::uint64_t ContentHash(std::string_view bytes, std::uint64_t seed = 0);

// The contents of both files of `comparison` as a key for the settings: each
// file's size and hash. Each file is hashed once while its bytes are held.
QString ComparedFilesKey(const Comparison& comparison);
// Bytes were changed in place: every file is hashed anew.
void ForgetContentKeys();

// A mark's key, from what the files say rather than a row's place: the kind
// of difference, the symbol's bytes, the field (a FieldDifference bit, 0 for
// a record only in one library) and which of the symbol's rows of that kind
// and field it is (0 for the first), for a name held several times.
std::uint64_t MarkKey(DifferenceKind kind, std::string_view symbol, std::uint8_t field,
                      std::uint32_t occurrence);

// The checked marks of one pair of file contents, kept in the application's
// settings under "Unterschiede/Geprüft/<ComparedFilesKey>".
class ReviewMarks {
public:
    // Reads the marks of the files `comparison` holds.
    void Open(const Comparison& comparison);
    bool Empty() const { return marks_.empty(); }
    bool Has(std::uint64_t mark) const { return marks_.contains(mark); }
    // The files' contents changed in place (differences taken over): the
    // marks held are kept from now on for the contents `comparison` holds.
    void Rekey(const Comparison& comparison) {
        ForgetContentKeys();
        key_ = ComparedFilesKey(comparison);
    }
    // Checks or unchecks `marks` and saves them all.
    void Set(const std::vector<std::uint64_t>& marks, bool checked);

private:
    QString key_;  // empty: no comparison
    std::unordered_set<std::uint64_t> marks_;
};
