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
    if (load.read) file1_ = path;
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
    if (load.read) file2_ = path;
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
    return load;
}

ComparisonSession::Outcome ComparisonSession::Compare(SymbolList& common, SymbolList& only1,
                                                      SymbolList& only2) {
    try {
        comparison_ = CompareTables(lib1Table, lib1Count, lib2Table, lib2Count);
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
