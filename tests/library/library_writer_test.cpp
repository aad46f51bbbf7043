#include "library/library_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "test_support.h"

#if defined(__unix__)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using Fields = std::array<std::string, 4>;

// What the reader reads from `bytes`: every record's four fields.
std::vector<Fields> Read(std::string_view bytes) {
    const ReadResult read = CheckLibraryBytes(bytes);
    std::vector<Fields> records;
    for (std::int32_t i = 1; i <= read.records; ++i) {
        const SymbolEntry e = ReadRecord(bytes, read.layout, static_cast<std::uint64_t>(i));
        records.push_back({std::string(e.symbol), std::string(e.designation),
                           std::string(e.classification1), std::string(e.classification2)});
    }
    return records;
}

ChangedLibrary Apply(std::string_view bytes, const LibraryChanges& changes) {
    const ReadResult read = CheckLibraryBytes(bytes);
    return ApplyChanges(bytes, read.layout, read.records, changes);
}

std::string FileContent(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FieldChanges Designation(std::int32_t record, std::string value) {
    FieldChanges change;
    change.record = record;
    change.designation = std::move(value);
    return change;
}

AddedRecord Added(std::string symbol, std::string designation, std::string c1 = {},
                  std::string c2 = {}) {
    return {std::move(symbol), std::move(designation), std::move(c1), std::move(c2), {}};
}

const std::string kLong =
    LongLibrary({{"A", "a", "1", "x"}, {"B", "b", "", ""}, {"C", "c", "k", "k"}});
const std::string kShort = ShortLibrary({{"A", "a"}, {"B", "b"}, {"C", "c"}});

// Library files as a program might have left them.
std::vector<std::pair<std::string, std::string>> OddFiles() {
    std::string garbage = kLong;  // bytes after the fields' terminators
    for (std::size_t i = 14; i < garbage.size(); ++i)
        if ((i - 14) % 144 >= 20 && i % 7 == 0) garbage[i] = 'z';
    std::string runsOn = kShort;  // a designation that runs into the next record
    runsOn.replace(14 + 64 + 18, 46, std::string(46, 'd'));
    return {
        {"long", kLong},
        {"short", kShort},
        {"empty", ""},
        {"header only", kLong.substr(0, 14 + 144)},
        {"shorter than its header", kLong.substr(0, 40)},
        {"last long record partial", kLong.substr(0, kLong.size() - 100)},
        {"last short record of one byte", kShort + "Z"},
        {"bytes after the fields", garbage},
        {"a field running on", runsOn},
    };
}

TEST(ApplyChanges, NoChangesGiveTheSameBytes) {
    for (const auto& [name, bytes] : OddFiles()) {
        const ChangedLibrary result = Apply(bytes, {});
        ASSERT_TRUE(result) << name;
        EXPECT_EQ(result.bytes, bytes) << name;
    }
}

TEST(ApplyChanges, RemovingAndAddingKeepsTheOtherRecordsAndTheirOrder) {
    for (const auto& [name, bytes] : OddFiles()) {
        const ReadResult read = CheckLibraryBytes(bytes);
        const bool isLong = read.layout == LibraryLayout::kLong;
        LibraryChanges changes;
        if (read.records >= 3) changes.removed = {1, read.records};
        changes.added = {Added("N1", "n1", isLong ? "k" : ""), Added("N2", "")};
        const ChangedLibrary result = Apply(bytes, changes);
        ASSERT_TRUE(result) << name;

        std::vector<Fields> expected = Read(bytes);
        if (read.records >= 3) {
            expected.pop_back();
            expected.erase(expected.begin());
        }
        expected.push_back({"N1", "n1", isLong ? "k" : "", ""});
        expected.push_back({"N2", "", "", ""});
        EXPECT_EQ(Read(result.bytes), expected) << name;
        // The bytes up to record 1 are kept; a short file's are filled up.
        const std::size_t head = std::min<std::size_t>(bytes.size(), isLong ? 14 + 144 : 14 + 64);
        EXPECT_EQ(result.bytes.substr(0, head), bytes.substr(0, head)) << name;
        EXPECT_EQ(CheckLibraryBytes(result.bytes).layout, read.layout) << name;
    }
}

TEST(ApplyChanges, UntouchedRecordsStayByteForByte) {
    std::string bytes = kLong;
    bytes[14 + 144 + 100] = 'q';      // beyond record 1's fields
    bytes[14 + 3 * 144 + 140] = 'r';  // beyond record 3's fields
    LibraryChanges changes;
    changes.changed = {Designation(2, "neu")};
    const ChangedLibrary result = Apply(bytes, changes);
    ASSERT_TRUE(result);
    ASSERT_EQ(result.bytes.size(), bytes.size());
    EXPECT_EQ(result.bytes.substr(0, 14 + 2 * 144), bytes.substr(0, 14 + 2 * 144));
    EXPECT_EQ(result.bytes.substr(14 + 3 * 144), bytes.substr(14 + 3 * 144));
}

// A record rewritten from its fields: where each lands, what stays.
struct LayoutCase {
    const char* name;
    LibraryLayout layout;
    std::string record;  // the record as the file holds it, a whole record's size
    FieldChanges change;
    std::string expected;
};

std::string Padded(std::string bytes, std::size_t size) {
    bytes.resize(size, '\0');
    return bytes;
}

TEST(ApplyChanges, RecordsAreRewrittenWhereTheReaderReads) {
    using namespace std::string_literals;
    FieldChanges c1;
    c1.record = 1;
    c1.classification1 = "KLASSE";
    FieldChanges all;
    all.record = 1;
    all.designation = "";
    all.classification1 = "";
    all.classification2 = "";
    const LayoutCase cases[] = {
        {"long, shorter designation: the freed bytes become NUL, the rest stays",
         LibraryLayout::kLong, Padded("S\0lang\0K\0G\0xyz"s, 144), Designation(1, "kz"),
         Padded("S\0kz\0K\0G\0\0\0xyz"s, 144)},
        {"long, longer designation moves the fields after it", LibraryLayout::kLong,
         Padded("S\0d\0K\0G\0\0\0\0\0\0\0xyz"s, 144), Designation(1, "dddd"),
         Padded("S\0dddd\0K\0G\0\0\0\0xyz"s, 144)},
        {"long, a classification", LibraryLayout::kLong, Padded("S\0d\0K\0G\0"s, 144), c1,
         Padded("S\0d\0KLASSE\0G\0"s, 144)},
        {"long, all emptied", LibraryLayout::kLong, Padded("Sym\0des\0k1\0k2\0!"s, 144), all,
         Padded("Sym\0\0\0\0\0\0\0\0\0\0\0!"s, 144)},
        {"short, the designation at its offset, the symbol's bytes untouched",
         LibraryLayout::kShort, Padded("Sym\0abc"s, 18) + Padded("langer Text\0rest"s, 46),
         Designation(1, "neu"), Padded("Sym\0abc"s, 18) + Padded("neu\0\0\0\0\0\0\0\0\0rest"s, 46)},
        {"short, a designation filling its room", LibraryLayout::kShort, Padded("S"s, 64),
         Designation(1, std::string(45, 'x')), Padded("S"s, 18) + std::string(45, 'x') + '\0'},
    };
    for (const LayoutCase& c : cases) {
        std::string file(14 + (c.layout == LibraryLayout::kLong ? 144 : 64), '\0');
        if (c.layout == LibraryLayout::kLong) file[0] = file[1] = '\xFF';
        LibraryChanges changes;
        changes.changed = {c.change};
        const ChangedLibrary result = ApplyChanges(file + c.record, c.layout, 1, changes);
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result.bytes, file + c.expected) << c.name;
    }
}

TEST(ApplyChanges, AnAddedRecordFromALibraryOfTheSameLayoutIsCopiedWhole) {
    using namespace std::string_literals;
    AddedRecord whole = Added("N", "n", "k", "");
    whole.wholeRecord = Padded("N\0n\0k\0\0extra bytes"s, 144);
    AddedRecord partial = Added("P", "p");
    partial.wholeRecord = "P\0p\0\0\0"s;  // the last record of its file, cut short
    AddedRecord lying = Added("L", "echt");
    lying.wholeRecord = Padded("L\0anders\0\0\0junk"s, 144);  // does not read as its fields
    LibraryChanges changes;
    changes.added = {whole, partial, lying};
    const ChangedLibrary result = Apply(kLong, changes);
    ASSERT_TRUE(result);
    EXPECT_EQ(result.bytes.substr(kLong.size(), 144), *whole.wholeRecord);
    EXPECT_EQ(result.bytes.substr(kLong.size() + 144, 144), Padded(*partial.wholeRecord, 144));
    EXPECT_EQ(result.bytes.substr(kLong.size() + 288), Padded("L\0echt\0\0\0"s, 144));
}

TEST(ApplyChanges, ALastPartialRecordIsFilledUpBeforeAddedRecords) {
    const std::string bytes = kLong.substr(0, 14 + 3 * 144 + 5);  // record 3: "C\0c\0k" cut
    LibraryChanges changes;
    changes.added = {Added("N", "n")};
    const ChangedLibrary result = Apply(bytes, changes);
    ASSERT_TRUE(result);
    EXPECT_EQ(result.bytes.substr(0, bytes.size()), bytes);
    EXPECT_EQ(result.bytes.substr(bytes.size(), 139), std::string(139, '\0'));
    const std::vector<Fields> expected = {
        {"A", "a", "1", "x"}, {"B", "b", "", ""}, {"C", "c", "k", ""}, {"N", "n", "", ""}};
    EXPECT_EQ(Read(result.bytes), expected);
}

struct RefusalCase {
    const char* name;
    std::string file;
    LibraryChanges changes;
    ChangeProblem problem;
    std::int32_t record;
    std::string symbol;
    LibraryField field;
};

LibraryChanges Changing(FieldChanges change) {
    LibraryChanges changes;
    changes.changed = {std::move(change)};
    return changes;
}

LibraryChanges Adding(AddedRecord record) {
    LibraryChanges changes;
    changes.added = {std::move(record)};
    return changes;
}

TEST(ApplyChanges, RefusesWhatCannotBeWritten) {
    using namespace std::string_literals;
    FieldChanges c2;
    c2.record = 3;
    c2.classification2 = "x"s + '\n';
    FieldChanges shortClassification;
    shortClassification.record = 2;
    shortClassification.classification1 = "K";
    LibraryChanges twice = Changing(Designation(1, "x"));
    twice.removed = {1};
    LibraryChanges removedTwice;
    removedTwice.removed = {2, 2};
    LibraryChanges noRecord;
    noRecord.removed = {4};
    std::string longSymbol = LongLibrary({{std::string(130, 's'), "d", "", ""}});
    std::string runsOn = kShort;  // record 1's designation runs into record 2
    runsOn.replace(14 + 64 + 18, 46, std::string(46, 'd'));
    LibraryChanges removeAfterRunOn;
    removeAfterRunOn.removed = {2};

    const RefusalCase cases[] = {
        {"a NUL in a designation", kLong, Changing(Designation(2, "a\0b"s)),
         ChangeProblem::kForbiddenByte, 2, "B", LibraryField::kDesignation},
        {"a line feed in a classification", kLong, Changing(c2), ChangeProblem::kForbiddenByte, 3,
         "C", LibraryField::kClassification2},
        {"a line feed in an added symbol", kLong, Adding(Added("N\n", "")),
         ChangeProblem::kForbiddenByte, 0, "N\n", LibraryField::kSymbol},
        {"long fields over 144 bytes", longSymbol, Changing(Designation(1, std::string(11, 'd'))),
         ChangeProblem::kDoesNotFit, 1, std::string(130, 's'), LibraryField::kDesignation},
        {"long fields of exactly 144 bytes, terminators counted", kLong,
         Adding(Added("S", std::string(70, 'd'), std::string(70, 'k'), "")),
         ChangeProblem::kDoesNotFit, 0, "S", LibraryField::kClassification2},
        {"a short designation of 46 bytes", kShort, Changing(Designation(1, std::string(46, 'd'))),
         ChangeProblem::kDoesNotFit, 1, "A", LibraryField::kDesignation},
        {"a short symbol of 18 bytes", kShort, Adding(Added(std::string(18, 's'), "")),
         ChangeProblem::kDoesNotFit, 0, std::string(18, 's'), LibraryField::kSymbol},
        {"a classification into a short library", kShort, Changing(shortClassification),
         ChangeProblem::kNoClassifications, 2, "B", LibraryField::kClassification1},
        {"an added record with a classification into a short library", kShort,
         Adding(Added("N", "n", "", "K")), ChangeProblem::kNoClassifications, 0, "N",
         LibraryField::kClassification2},
        {"a record changed and removed", kLong, twice, ChangeProblem::kRecordTwice, 1, "A",
         LibraryField::kSymbol},
        {"a record removed twice", kLong, removedTwice, ChangeProblem::kRecordTwice, 2, "B",
         LibraryField::kSymbol},
        {"a record the file does not have", kLong, noRecord, ChangeProblem::kNoSuchRecord, 4, "",
         LibraryField::kSymbol},
        {"a field running on into a record removed", runsOn, removeAfterRunOn,
         ChangeProblem::kReadsOtherwise, 1, "A", LibraryField::kDesignation},
    };
    for (const RefusalCase& c : cases) {
        const ChangedLibrary result = Apply(c.file, c.changes);
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.refusal.problem, c.problem) << c.name;
        EXPECT_EQ(result.refusal.record, c.record) << c.name;
        EXPECT_EQ(result.refusal.symbol, c.symbol) << c.name;
        EXPECT_EQ(result.refusal.field, c.field) << c.name;
        EXPECT_TRUE(result.bytes.empty()) << c.name;
    }
}

// Fields changed where the records stand give the bytes and the refusals of
// a new file made with the same changes, or leave a last record that the
// file ends inside to it; refused or undone, the bytes are as read.
TEST(PatchRecords, GivesTheBytesAndRefusalsOfANewFile) {
    using namespace std::string_literals;
    FieldChanges all;
    all.record = 2;
    all.designation = "neu";
    all.classification1 = "K1";
    all.classification2 = "";
    FieldChanges classification;
    classification.record = 1;
    classification.classification1 = "k";
    const std::vector<std::vector<FieldChanges>> changeSets = {
        {Designation(1, "x")},
        {Designation(2, "")},
        {Designation(3, std::string(40, 'l'))},
        {all},
        {classification, Designation(3, "c3")},
        {Designation(2, "a\0b"s)},
        {Designation(1, "x\n")},
        {Designation(1, std::string(46, 'd'))},
        {Designation(1, std::string(140, 'd'))},
        {Designation(1, "x"), Designation(1, "y")},
        {Designation(4, "x")},
        {Designation(2, std::string(45, 'e'))},
    };
    for (const auto& [name, file] : OddFiles()) {
        const ReadResult read = CheckLibraryBytes(file);
        for (std::size_t set = 0; set < changeSets.size(); ++set) {
            const std::string context = name + ", changes " + std::to_string(set);
            LibraryChanges changes;
            changes.changed = changeSets[set];
            const ChangedLibrary whole = ApplyChanges(file, read.layout, read.records, changes);
            std::string bytes = file;
            const PatchedLibrary patched = PatchRecords(std::span<char>(bytes.data(), bytes.size()),
                                                        read.layout, read.records, changeSets[set]);
            if (!patched) {
                EXPECT_EQ(bytes, file) << context;
                if (patched.inPlace) {
                    EXPECT_FALSE(whole) << context;
                    EXPECT_EQ(patched.refusal.problem, whole.refusal.problem) << context;
                    EXPECT_EQ(patched.refusal.record, whole.refusal.record) << context;
                } else {
                    EXPECT_GT(file.size(), 14u) << context;
                    EXPECT_NE((file.size() - 14) % (read.layout == LibraryLayout::kLong ? 144 : 64),
                              0u)
                        << context;
                }
                continue;
            }
            ASSERT_TRUE(whole) << context;
            EXPECT_EQ(bytes, whole.bytes) << context;
            UndoPatches(std::span<char>(bytes.data(), bytes.size()), patched.patches);
            EXPECT_EQ(bytes, file) << context;
            RedoPatches(std::span<char>(bytes.data(), bytes.size()), patched.patches);
            EXPECT_EQ(bytes, whole.bytes) << context;
        }
    }
}

TEST(ApplyChanges, RefusesBytesThatAreNotTheLibraryRead) {
    EXPECT_EQ(ApplyChanges(kLong, LibraryLayout::kShort, 3, {}).refusal.problem,
              ChangeProblem::kNotAsRead);
    EXPECT_EQ(ApplyChanges(kLong, LibraryLayout::kLong, 2, {}).refusal.problem,
              ChangeProblem::kNotAsRead);
    EXPECT_TRUE(ApplyChanges(kLong, LibraryLayout::kLong, 3, {}));
}

// ---- saving ---------------------------------------------------------------

// The names in `folder`.
std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveLibraryFile, WritesANewFileWithoutABackup) {
    TempDir dir;
    const auto path = dir.path() / "neu.1";
    ASSERT_TRUE(SaveLibraryFile(path, kLong));
    EXPECT_EQ(FileContent(path), kLong);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"neu.1"});
}

TEST(SaveLibraryFile, KeepsTheOldFileAsBak) {
    TempDir dir;
    const auto path = dir.Write("bib.1", kShort);
    dir.Write("bib.1.bak", "an older backup");
    ASSERT_TRUE(SaveLibraryFile(path, kLong));
    EXPECT_EQ(FileContent(path), kLong);
    EXPECT_EQ(FileContent(BackupPath(path)), kShort);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"bib.1", "bib.1.bak"}));
    // Saved again: the backup is the file as it was just before.
    ASSERT_TRUE(SaveLibraryFile(path, ""));
    EXPECT_EQ(FileContent(path), "");
    EXPECT_EQ(FileContent(BackupPath(path)), kLong);
}

TEST(SaveLibraryFile, ABackupThatCannotBeReplacedLeavesTheFileAsItWas) {
    TempDir dir;
    const auto path = dir.Write("bib.1", kShort);
    std::filesystem::create_directories(BackupPath(path) / "inside");  // a folder in its way
    const SaveOutcome outcome = SaveLibraryFile(path, kLong);
    EXPECT_EQ(outcome.step, SaveOutcome::Step::kKeepBackup);
    EXPECT_NE(outcome.systemError, 0);
    EXPECT_EQ(FileContent(path), kShort);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"bib.1", "bib.1.bak"}));
}

TEST(SaveLibraryFile, AMissingFolderIsReported) {
    TempDir dir;
    const SaveOutcome outcome = SaveLibraryFile(dir.path() / "fehlt" / "bib.1", kLong);
    EXPECT_EQ(outcome.step, SaveOutcome::Step::kCreateTemporary);
    EXPECT_EQ(outcome.systemError, ENOENT);
}

#if defined(__unix__)

TEST(SaveLibraryFile, AFolderWithoutWritePermissionLeavesTheFileAsItWas) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto path = dir.Write("bib.1", kShort);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const auto savedAsExpected = [&path] {
        const SaveOutcome outcome = SaveLibraryFile(path, kLong);
        return outcome.step == SaveOutcome::Step::kCreateTemporary && outcome.systemError == EACCES;
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(savedAsExpected());
    } else {
        // Root writes anywhere: the save runs as the user "nobody", whom the
        // folder's permissions hold.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
            _exit(savedAsExpected() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "2: could not become nobody";
    }
    EXPECT_EQ(FileContent(path), kShort);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"bib.1"});
    fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
}

TEST(SaveLibraryFile, AFullDiskLeavesTheFileAsItWas) {
    TempDir dir;
    const auto path = dir.Write("bib.1", kShort);
    const std::string big(1 << 20, 'x');
    // The file size limit stands for a full disk: a write beyond it fails
    // (EFBIG) instead of ending the process, as SIGXFSZ is ignored.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limit = before;
    limit.rlim_cur = 4096;
    void (*const handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const SaveOutcome outcome = SaveLibraryFile(path, big);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, handler);
    EXPECT_EQ(outcome.step, SaveOutcome::Step::kWriteTemporary);
    EXPECT_EQ(outcome.systemError, EFBIG);
    EXPECT_EQ(FileContent(path), kShort);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"bib.1"});
}

#endif

}  // namespace
