#include "library/library_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>

#include "test_support.h"

namespace {

struct Slot {
    std::string symbol, designation, classification1, classification2;
    bool operator==(const Slot&) const = default;
    friend void PrintTo(const Slot& s, std::ostream* os) {
        *os << "{" << s.symbol << "|" << s.designation << "|" << s.classification1 << "|"
            << s.classification2 << "}";
    }
};

Slot At(const SymbolTable& table, std::int64_t i) {
    const SymbolEntry& e = table[i];
    return {std::string(e.symbol), std::string(e.designation), std::string(e.classification1),
            std::string(e.classification2)};
}

// A file image of `length` bytes: the marker, then filler `fill`.
std::string Image(bool isLong, std::size_t length, char fill = '\0') {
    std::string bytes(length, fill);
    if (isLong && length >= 2) bytes[0] = bytes[1] = '\xFF';
    return bytes;
}

// Reads `bytes` through a real file into a fresh table.
struct Loaded {
    ReadResult result;
    SymbolTable table;
    std::int32_t count = -1;
    RecordingList list;
};
std::unique_ptr<Loaded> Load(std::string_view bytes) {
    TempDir dir;
    auto loaded = std::make_unique<Loaded>();
    loaded->result =
        ReadLibraryFile(dir.Write("lib.1", bytes), loaded->table, loaded->count, loaded->list);
    return loaded;
}

struct CountCase {
    const char* name;
    bool isLong;
    std::size_t length;
    std::int32_t records;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.name;
}

class RecordCount : public testing::TestWithParam<CountCase> {};

// A record exists only where it starts before the end of the file.
TEST_P(RecordCount, CountsOnlyRecordsThatStartInsideTheFile) {
    const auto& c = GetParam();
    auto loaded = Load(Image(c.isLong, c.length));
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(loaded->result.records, c.records);
    EXPECT_EQ(loaded->count, c.records);
    EXPECT_EQ(loaded->list.names.size(), static_cast<std::size_t>(c.records));
    EXPECT_EQ(loaded->result.layout, c.isLong ? LibraryLayout::kLong : LibraryLayout::kShort);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, RecordCount,
    testing::Values(CountCase{"empty", false, 0, 0}, CountCase{"one_byte", false, 1, 0},
                    CountCase{"header_only", false, 14, 0}, CountCase{"slot0_cut", false, 77, 0},
                    CountCase{"short_record1_first_byte", false, 79, 1},
                    CountCase{"short_320", false, 320, 4}, CountCase{"short_334", false, 334, 4},
                    CountCase{"short_340", false, 340, 5}, CountCase{"long_158", true, 158, 0},
                    CountCase{"long_159", true, 159, 1}, CountCase{"long_452", true, 452, 3},
                    CountCase{"long_exact_multiple", true, 144 * 4, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadLibraryFile, LongRecordPacksFourFields) {
    // ABC NUL Relais NUL K NUL NUL: fields at p, p+4, p+11 and p+13.
    auto loaded = Load(LongLibrary({{"ABC", "Relais", "K", ""}, {"M1", "Motor", "E", "Antrieb"}}));
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(loaded->count, 2);
    EXPECT_EQ(At(loaded->table, 1), (Slot{"ABC", "Relais", "K", ""}));
    EXPECT_EQ(At(loaded->table, 2), (Slot{"M1", "Motor", "E", "Antrieb"}));
    EXPECT_EQ(loaded->list.calls, (std::vector<std::string>{"ABC", "M1"}));
}

TEST(ReadLibraryFile, ShortRecordHasSymbolAndDesignationOnly) {
    auto loaded = Load(ShortLibrary({{"S1", "Schalter"},
                                     {"\xC4nderung",
                                      "Gr\xFC\xDF"
                                      "e"}}));
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(loaded->result.layout, LibraryLayout::kShort);
    EXPECT_EQ(At(loaded->table, 1), (Slot{"S1", "Schalter", "", ""}));
    EXPECT_EQ(At(loaded->table, 2), (Slot{"\xC4nderung",
                                          "Gr\xFC\xDF"
                                          "e",
                                          "", ""}));
}

struct FieldCase {
    const char* name;
    std::string bytes;
    std::int32_t record;
    Slot expected;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.name;
}

class FieldRule : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldRule, ReadsFieldsUpToNulLineFeedOrEnd) {
    const auto& c = GetParam();
    auto loaded = Load(c.bytes);
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(At(loaded->table, c.record), c.expected);

    // The same bytes already in memory (a mapped file) read the same.
    const auto bytes = std::make_shared<const std::string>(c.bytes);
    SymbolTable table;
    std::int32_t count = -1;
    RecordingList list;
    ASSERT_TRUE(AdoptLibraryBytes(*bytes, bytes, table, count, list));
    EXPECT_EQ(At(table, c.record), c.expected);
    EXPECT_EQ(count, loaded->count);
    EXPECT_EQ(list.names, loaded->list.names);
}

// Declined after its sample, a library in memory changes nothing.
TEST(AdoptLibraryBytes, DeclinedChangesNothing) {
    const std::string bytes = LongLibrary({{"Relais", "24 V", "S", "H"}});
    SymbolTable table;
    table.Assign(1, "alt");
    std::int32_t count = 1;
    RecordingList list;
    const ReadResult result =
        AdoptLibraryBytes(bytes, nullptr, table, count, list, [](const ReadResult& sample) {
            EXPECT_EQ(sample.records, 1);
            return false;
        });
    EXPECT_EQ(result.status, ReadStatus::kCancelled);
    EXPECT_EQ(At(table, 1).symbol, "alt");
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(list.names.empty());
}

std::string ShortWithRecord1(std::string_view slot, std::size_t length = 0) {
    std::string bytes = Image(false, 78);
    bytes += slot;
    if (length) bytes.resize(length, '\0');
    return bytes;
}

std::string LongWithRecord1(std::string_view slot, std::size_t length = 0) {
    std::string bytes = Image(true, 158);
    bytes += slot;
    if (length) bytes.resize(length, '\0');
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldRule,
    testing::Values(
        // The symbol runs on over the designation's start; the designation is
        // still read from p + 18.
        FieldCase{"short_symbol_runs_on",
                  ShortWithRecord1(std::string("ABCDEFGHIJKLMNOPQRST\0", 21), 142),
                  1,
                  {"ABCDEFGHIJKLMNOPQRST", "ST", "", ""}},
        FieldCase{"line_feed_ends_field",
                  ShortWithRecord1(std::string("AB\nCD\0", 6), 142),
                  1,
                  {"AB", "", "", ""}},
        FieldCase{"end_of_file_ends_field", ShortWithRecord1("XYZ"), 1, {"XYZ", "", "", ""}},
        FieldCase{"designation_at_end_of_file",
                  ShortWithRecord1(std::string("S\0", 2) + std::string(16, '\0') + "Des"),
                  1,
                  {"S", "Des", "", ""}},
        // In the long layout the next field starts after the line feed.
        FieldCase{"long_line_feed_moves_next_field",
                  LongWithRecord1(std::string("A\nB\0C\0D\0", 8), 302),
                  1,
                  {"A", "B", "C", "D"}},
        FieldCase{"long_fields_cut_by_end_of_file",
                  LongWithRecord1(std::string("Sym\0Bez", 7)),
                  1,
                  {"Sym", "Bez", "", ""}},
        // A short designation without terminator runs into the next slot; the
        // next record is still read from its own start.
        FieldCase{"short_designation_runs_into_next_slot",
                  ShortWithRecord1(std::string("S1\0", 3) + std::string(15, '\0') +
                                       std::string(46, 'd') + "T2\0",
                                   206),
                  1,
                  {"S1", std::string(46, 'd') + "T2", "", ""}},
        FieldCase{"next_record_from_own_start",
                  ShortWithRecord1(std::string("S1\0", 3) + std::string(15, '\0') +
                                       std::string(46, 'd') + "T2\0",
                                   206),
                  2,
                  {"T2", "", "", ""}},
        // Long fields of more than 144 bytes run on into the next record.
        FieldCase{"long_record_longer_than_slot",
                  LongWithRecord1(std::string(100, 'a') + '\0' + std::string(60, 'b') + '\0' +
                                      std::string("c\0d\0", 4),
                                  158 + 144 * 2 + 1),
                  1,
                  {std::string(100, 'a'), std::string(60, 'b'), "c", "d"}},
        FieldCase{"long_next_record_inside_run_on",
                  LongWithRecord1(std::string(100, 'a') + '\0' + std::string(60, 'b') + '\0' +
                                      std::string("c\0d\0", 4),
                                  158 + 144 * 2 + 1),
                  2,
                  {std::string(17, 'b'), "c", "d", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

struct MarkerCase {
    const char* name;
    std::string marker;
    LibraryLayout layout;
};

void PrintTo(const MarkerCase& c, std::ostream* os) {
    *os << c.name;
}

class Marker : public testing::TestWithParam<MarkerCase> {};

TEST_P(Marker, BothBytesFFSelectTheLongLayout) {
    std::string bytes = Image(false, 500);
    bytes.replace(0, 2, GetParam().marker);
    auto loaded = Load(bytes);
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(loaded->result.layout, GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, Marker,
    testing::Values(MarkerCase{"ff_ff", "\xFF\xFF", LibraryLayout::kLong},
                    MarkerCase{"ff_00", std::string("\xFF\0", 2), LibraryLayout::kShort},
                    MarkerCase{"00_ff", std::string("\0\xFF", 2), LibraryLayout::kShort},
                    MarkerCase{"fe_ff", "\xFE\xFF", LibraryLayout::kShort}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadLibraryFile, SmallerLoadLetsGoOfTheEarlierFile) {
    TempDir dir;
    SymbolTable table;
    std::int32_t count = 0;
    RecordingList list;
    std::vector<LongRecord> ten;
    for (int i = 1; i <= 10; ++i) ten.push_back({Numbered("OLD", i), "d", "k1", "k2"});
    ASSERT_TRUE(ReadLibraryFile(dir.Write("ten.1", LongLibrary(ten)), table, count, list));
    ASSERT_EQ(table.Storage().size(), 1u);
    const std::weak_ptr<const void> firstFile = table.Storage().front();
    list.Empty();
    ASSERT_TRUE(ReadLibraryFile(dir.Write("three.1", LongLibrary({{"A"}, {"B"}, {"C"}})), table,
                                count, list));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(list.names, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(At(table, 3).symbol, "C");
    // Nothing reads above the count, so nothing there is kept alive.
    EXPECT_TRUE(firstFile.expired());
    EXPECT_EQ(At(table, 4), (Slot{"", "", "", ""}));
}

TEST(ReadLibraryFile, ShortLoadClearsClassificationsOfAnEarlierLongLoad) {
    TempDir dir;
    SymbolTable table;
    std::int32_t count = 0;
    DiscardingSymbolList list;
    ASSERT_TRUE(ReadLibraryFile(dir.Write("long.1", LongLibrary({{"L", "D", "K1", "K2"}})), table,
                                count, list));
    ASSERT_TRUE(
        ReadLibraryFile(dir.Write("short.1", ShortLibrary({{"S", "Kurz"}})), table, count, list));
    EXPECT_EQ(At(table, 1), (Slot{"S", "Kurz", "", ""}));
}

TEST(ReadLibraryFile, GrowsPastTheOldCapacity) {
    std::vector<ShortRecord> records;
    for (int i = 1; i <= 5000; ++i) {
        records.push_back({Numbered("N", i), "D"});
    }
    auto loaded = Load(ShortLibrary(records));
    ASSERT_TRUE(loaded->result);
    EXPECT_EQ(loaded->count, 5000);
    EXPECT_EQ(At(loaded->table, 2505).symbol, "N2505");
    EXPECT_EQ(At(loaded->table, 5000).symbol, "N5000");
    EXPECT_EQ(loaded->list.names.back(), "N5000");
}

// Failed reads change nothing: table, count and list stay as they were.
struct FailureCase {
    const char* name;
    std::function<std::filesystem::path(const TempDir&)> make;
    ReadStatus status;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, ReportsTheFileAndChangesNothing) {
    TempDir dir;
    SymbolTable table;
    std::int32_t count = 0;
    RecordingList list;
    ASSERT_TRUE(ReadLibraryFile(dir.Write("good.1", LongLibrary({{"KEEP", "d", "k1", "k2"}})),
                                table, count, list));
    const auto calls = list.calls;

    const auto path = GetParam().make(dir);
    const ReadResult result = ReadLibraryFile(path, table, count, list);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(At(table, 1), (Slot{"KEEP", "d", "k1", "k2"}));
    EXPECT_EQ(list.calls, calls);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Failure,
    testing::Values(
        FailureCase{"missing", [](const TempDir& d) { return d.path() / "fehlt.1"; },
                    ReadStatus::kNotFound},
        FailureCase{"directory",
                    [](const TempDir& d) {
                        std::filesystem::create_directory(d.path() / "ordner.1");
                        return d.path() / "ordner.1";
                    },
                    ReadStatus::kDirectory},
        FailureCase{"no_terminators",
                    [](const TempDir& d) { return d.Write("a.1", std::string(100000, 'A')); },
                    ReadStatus::kNotALibrary},
        FailureCase{"fifty_megabytes_of_A",
                    [](const TempDir& d) { return d.Write("a.1", std::string(50 << 20, 'A')); },
                    ReadStatus::kNotALibrary}),
    [](const auto& info) { return std::string(info.param.name); });

// Fields that run on a little are still a library; only the runaway case is
// rejected.
TEST(ReadLibraryFile, AcceptsModestRunOn) {
    std::string bytes = Image(false, 78);
    for (int i = 0; i < 100; ++i) bytes += std::string(64, 'x') + '\0';  // one byte shorter each
    auto loaded = Load(bytes);
    EXPECT_TRUE(loaded->result);
}

// Every prefix of a valid library, placed at the very end of its allocation so
// that a sanitizer sees any read past it.
TEST(CheckLibraryBytes, EveryPrefixReadsWithinItsBuffer) {
    const std::string longLib = LongLibrary({{"ABC", "Relais", "K", ""}, {"X", "Y", "Z", "W"}});
    const std::string shortLib = ShortLibrary({{"S1", "Eins"}, {"S2", "Zwei"}, {"S3", "Drei"}});
    for (const std::string* whole : {&longLib, &shortLib}) {
        for (std::size_t n = 0; n <= whole->size(); ++n) {
            auto exact = std::make_unique<char[]>(n ? n : 1);
            std::memcpy(exact.get(), whole->data(), n);
            const std::string_view bytes(exact.get(), n);
            const ReadResult result = CheckLibraryBytes(bytes);
            ASSERT_TRUE(result) << n;
            for (std::int64_t record = 0; record <= result.records + 1; ++record)
                for (const SymbolEntry e = ReadRecord(bytes, result.layout, record);
                     std::string_view f :
                     {e.symbol, e.designation, e.classification1, e.classification2})
                    ASSERT_TRUE(f.empty() || (f.data() >= exact.get() &&
                                              f.data() + f.size() <= exact.get() + n));
        }
    }
}

}  // namespace

// A result is a success only when a read said so: not before any read, and
// not for any failure, whatever else it carries.
TEST(ReadResultTest, SucceedsOnlyByItsStatus) {
    EXPECT_FALSE(ReadResult{});
    EXPECT_FALSE(ReadResult{}.Doubtful());
    for (const ReadStatus status :
         {ReadStatus::kNotRead, ReadStatus::kNotFound, ReadStatus::kDirectory,
          ReadStatus::kNotRegularFile, ReadStatus::kCannotOpen, ReadStatus::kOutOfMemory,
          ReadStatus::kReadError, ReadStatus::kTruncated, ReadStatus::kTooManyRecords,
          ReadStatus::kNotALibrary, ReadStatus::kCancelled}) {
        ReadResult failed = ReadFailure(status);
        failed.records = 3;
        failed.signature = FileSignature::kPdf;
        EXPECT_FALSE(failed) << static_cast<int>(status);
        EXPECT_FALSE(failed.Doubtful()) << static_cast<int>(status);
    }
    EXPECT_TRUE(CheckLibraryBytes(std::string(300, '\0')));
}
