// Files that are no library, or that change under the reader: each ends in a
// clear message with nothing changed, quickly, or in a whole, consistent load.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "library/library_reader.h"
#include "test_support.h"

#if defined(__unix__)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

// A table holding one known record, to see that a failed read leaves it alone.
struct Target {
    SymbolTable table;
    std::int32_t count = 0;
    RecordingList list;
    Target() {
        table.Assign(1, "KEEP", "d", "k1", "k2");
        count = 1;
    }
    void ExpectUntouched() const {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(table[1].symbol, "KEEP");
        EXPECT_EQ(table[1].classification2, "k2");
        EXPECT_TRUE(list.calls.empty());
    }
};

[[maybe_unused]] void ExpectRejected(const fs::path& path, ReadStatus status) {
    Target target;
    const ReadResult result = ReadLibraryFile(path, target.table, target.count, target.list);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.status, status);
    target.ExpectUntouched();
}

#if defined(__unix__)
TEST(HostileFiles, FifoIsNotReadNorWaitedOn) {
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe.1";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ExpectRejected(fifo, ReadStatus::kNotRegularFile);
}

TEST(HostileFiles, CharacterDeviceIsNotRead) {
    ExpectRejected("/dev/zero", ReadStatus::kNotRegularFile);
}

TEST(HostileFiles, FileWithoutReadPermission) {
    TempDir dir;
    const fs::path file = dir.Write("secret.1", LongLibrary({{"A"}}));
    fs::permissions(file, fs::perms::none);
    if (::geteuid() != 0) {
        ExpectRejected(file, ReadStatus::kCannotOpen);
        return;
    }
    // Root may read anything: try it as the unprivileged user "nobody".
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        Target target;
        const ReadResult result = ReadLibraryFile(file, target.table, target.count, target.list);
        const bool asExpected = !result && result.status == ReadStatus::kCannotOpen &&
                                result.systemError == EACCES && target.count == 1 &&
                                target.list.calls.empty();
        ::_exit(asExpected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot become nobody";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
#endif

TEST(HostileFiles, FiftyMegabytesWithoutTerminators) {
    TempDir dir;
    std::string bytes(50u << 20, '\0');
    std::uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(2 + (state >> 24) % 250);  // never NUL, never LF
        if (c == '\n') c = 'x';
    }
    // Asked about first (as doubtful); read on, it is refused.
    Target target;
    const ReadResult result =
        ReadLibraryFile(dir.Write("noise.1", bytes), target.table, target.count, target.list,
                        [](const ReadResult& r) { return r.Doubtful(); });
    EXPECT_EQ(result.status, ReadStatus::kNotALibrary);
    EXPECT_EQ(result.bound, kFieldBytesPerFileByte);
    target.ExpectUntouched();
}

// Whether `count` records in `table` are what a file that held `records` and
// was cut and extended (with zeros) meanwhile can give: each field of record
// k the start of record k's field, or empty. A read is not atomic against
// another program's truncation, so a zeroed page may stand before one read
// earlier; never a field of another record, nor bytes the file never held.
::testing::AssertionResult OneStateOf(const SymbolTable& table, std::int32_t count,
                                      const std::vector<LongRecord>& records) {
    const auto fieldsOf = [](const SymbolEntry& e) {
        return LongRecord{std::string(e.symbol), std::string(e.designation),
                          std::string(e.classification1), std::string(e.classification2)};
    };
    for (std::int32_t k = 1; k <= count; ++k) {
        const LongRecord read = fieldsOf(table[k]);
        const auto index = static_cast<std::size_t>(k - 1);
        const LongRecord original = index < records.size() ? records[index] : LongRecord{};
        for (std::size_t f = 0; f < read.size(); ++f)
            if (!original[f].starts_with(read[f]))
                return ::testing::AssertionFailure()
                       << "record " << k << " of " << count << ": \"" << read[0] << "\", \""
                       << read[1] << "\", \"" << read[2] << "\", \"" << read[3] << "\"";
    }
    return ::testing::AssertionSuccess();
}

// Another program truncates and extends the file while it is read: each read
// either loads one whole, consistent state or fails, as a file cut under the
// reader fails, and changes nothing.
TEST(HostileFiles, FileChangingWhileRead) {
    TempDir dir;
    std::vector<LongRecord> records;
    for (int i = 0; i < 20000; ++i) records.push_back({Numbered("S", i), "Bezeichnung", "K", "G"});
    const std::string whole = LongLibrary(records);
    const fs::path file = dir.Write("moving.1", whole);

    std::atomic<bool> stop{false};
    std::thread mutator([&] {
        std::uintmax_t size = whole.size();
        while (!stop) {
            size = size > 1000 ? size / 3 : whole.size() * 2;
            std::error_code ec;
            fs::resize_file(file, size, ec);
        }
    });
    // Stopped and joined however the test ends, also at a failed assertion.
    struct Join {
        std::atomic<bool>& stop;
        std::thread& thread;
        ~Join() {
            stop = true;
            thread.join();
        }
    } join{stop, mutator};
    int loaded = 0;
    for (int round = 0; round < 200; ++round) {
        SymbolTable table;
        table.Assign(1, "KEEP");
        std::int32_t count = 1;
        RecordingList list;
        const ReadResult result = ReadLibraryFile(file, table, count, list);
        if (result) {
            ++loaded;
            ASSERT_EQ(count, result.records);
            ASSERT_EQ(list.names.size(), static_cast<std::size_t>(count));
            ASSERT_GE(table.Size(), count + 1);
            ASSERT_TRUE(OneStateOf(table, count, records)) << "round " << round;
            for (std::int32_t k = 1; k <= count; ++k)
                ASSERT_EQ(list.names[static_cast<std::size_t>(k - 1)], table[k].symbol);
        } else {
            ASSERT_TRUE(result.status == ReadStatus::kTruncated ||
                        result.status == ReadStatus::kReadError)
                << "round " << round << ": status " << static_cast<int>(result.status);
            ASSERT_EQ(count, 1);
            ASSERT_EQ(table[1].symbol, "KEEP");
            ASSERT_TRUE(list.calls.empty());
        }
    }
    // Most reads meet a size that holds still long enough (about nine in ten
    // on two busy cores); a reader that refused every changing file would
    // load none.
    EXPECT_GT(loaded, 0);
}

}  // namespace

namespace {

// A short-layout file of 463 bytes whose fields add up to exactly 4 × 463:
// 322 bytes of "A" from record 1 on run through six records (symbols 322,
// 258, 194, 130, 66, 2; designations 304, 240, 176, 112, 48), then NULs.
std::string FourTimesItsLength() {
    std::string bytes = "AB" + std::string(12 + 64, '\0');
    bytes += std::string(322, 'A');
    bytes += std::string(63, '\0');
    return bytes;
}

TEST(HostileFiles, FieldBudgetIsExactlyFourTimesTheLength) {
    const std::string exact = FourTimesItsLength();
    ASSERT_EQ(exact.size(), 463u);
    const ReadResult loaded = CheckLibraryBytes(exact);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(loaded.records, 7);

    // One field byte more: record 7, on the last byte, gets a 1-byte symbol.
    std::string over = exact;
    over.back() = 'A';
    const ReadResult refused = CheckLibraryBytes(over);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.status, ReadStatus::kNotALibrary);
}

// The file ends before the size measured for it: refused, whatever the timing.
TEST(HostileFiles, StreamShorterThanItsSizeIsRefused) {
    for (std::size_t have : {std::size_t{0}, std::size_t{1}, std::size_t{199}}) {
        std::istringstream in(std::string(have, 'x'));
        ReadResult failure;
        EXPECT_EQ(ReadWholeStream(in, 200, failure), nullptr) << have;
        EXPECT_EQ(failure.status, ReadStatus::kTruncated);
    }
    std::istringstream whole(std::string(200, 'x'));
    ReadResult failure;
    EXPECT_NE(ReadWholeStream(whole, 200, failure), nullptr);
}

}  // namespace

namespace {

std::string Noise(std::size_t size, std::uint32_t state) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    return bytes;
}

std::string Prose(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text +=
            "Zeile " + std::to_string(i) + " eines ganz gewöhnlichen Textes, wie man ihn kennt.\n";
    return text;
}

// What a file is judged to be: a library, or plainly none. Files of other
// kinds get the question; libraries, however odd their other fields, do not.
TEST(DoubtfulFiles, JudgedOnWhatTheSymbolsLookLike) {
    std::string utf16 = "\xFF\xFE";
    for (char c : Prose(40)) utf16 += std::string{c, '\0'};
    std::string shortWithMarker = ShortLibrary({{"Relais", "Schütz"}, {"Motor", "M"}});
    for (int i = 0; i < 200; ++i)
        shortWithMarker += ShortLibrary({{Numbered("K", i), "Bez"}}).substr(78);
    shortWithMarker[0] = shortWithMarker[1] = '\xFF';
    std::vector<LongRecord> generated, fullFourth;
    for (int i = 0; i < 3000; ++i)
        generated.push_back({Numbered("SYM", i), "Bezeichnung", "K", "G"});
    for (int i = 0; i < 300; ++i)
        fullFourth.push_back({Numbered("R", i), "B", "K", std::string(200, 'g')});
    std::vector<LongRecord> halfEmpty{{"A"}, {""}, {"B"}, {""}},
        moreEmpty{{"A"}, {""}, {"B"}, {""}, {""}};
    std::vector<LongRecord> letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters.push_back({std::string(1, c), "Buchstabe"});
    // A short-layout library of 28 plausible records whose first bytes are
    // those of another kind of file.
    std::vector<ShortRecord> plausible;
    for (int i = 0; i < 28; ++i) plausible.push_back({Numbered("Relais", i), "Bezeichnung"});
    const auto begins = [&plausible](std::string_view magic) {
        std::string bytes = ShortLibrary(plausible);
        bytes.replace(0, magic.size(), magic);
        return bytes;
    };

    const struct {
        const char* name;
        std::string bytes;
        bool doubtful;
    } cases[] = {
        {"4096 zero bytes", std::string(4096, '\0'), true},
        {"UTF-16 text with byte-order mark", utf16, true},
        {"ELF binary",
         "\x7F"
         "ELF\x02\x01\x01" +
             std::string(2000, '\0') + Noise(3000, 3),
         true},
        {"PNG", "\x89PNG\r\n\x1A\n" + Noise(20000, 5), true},
        {"ZIP", "PK\x03\x04\x14\0\0\0\x08\0" + Noise(20000, 9), true},
        {"PDF", "%PDF-1.4\n" + Prose(50) + "stream\n" + Noise(8000, 11), true},
        {"plain text", Prose(300), true},
        {"begins like a PDF", begins("%PDF-1.4\n"), true},
        {"begins like a ZIP archive", begins({"PK\x03\x04\x14\0", 6}), true},
        {"begins like a PNG image", begins("\x89PNG\r\n\x1A\n"), true},
        {"begins like a JPEG image", begins("\xFF\xD8\xFF\xE0"), true},
        {"begins like a GIF image (87a)", begins("GIF87a"), true},
        {"begins like a GIF image (89a)", begins("GIF89a"), true},
        {"begins like an ELF program", begins("\177ELF\x02\x01"), true},
        {"begins like a Windows program", begins("MZ\x90"), true},
        {"begins like a gzip archive", begins("\x1F\x8B\x08"), true},
        {"begins with a UTF-16 byte-order mark (LE)", begins("\xFF\xFE"), true},
        {"begins with a UTF-16 byte-order mark (BE)", begins("\xFE\xFF"), true},
        {"begins with a UTF-8 byte-order mark", begins("\xEF\xBB\xBF"), true},
        {"only the signature, no record", "%PDF-1.4", true},
        {"a plausible library of 28 records", begins("SL"), false},
        {"a signature's first byte alone", begins("%P"), false},
        {"short layout beginning FF FF", shortWithMarker, true},
        {"more than half empty", LongLibrary(moreEmpty), true},
        {"exactly half empty", LongLibrary(halfEmpty), false},
        {"generated library", LongLibrary(generated), false},
        {"fourth field fills every record", LongLibrary(fullFourth), false},
        {"one library of single letters", LongLibrary(letters), false},
        {"one record", LongLibrary({{"A", "B"}}), false},
        {"short layout", ShortLibrary({{"Relais", "Schütz"}, {"Motor", "M"}}), false},
    };
    for (const auto& c : cases) {
        const ReadResult result = MeasureLibraryBytes(c.bytes);
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result.Doubtful(), c.doubtful)
            << c.name << ": " << result.oddRecords << " of " << result.sampledRecords;
    }
    for (const char* example : {"schaltplan-alt.1", "schaltplan-neu.1"}) {
        std::ifstream in(std::string(LIBCOMPARE_EXAMPLES_DIR "/") + example, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        ASSERT_FALSE(bytes.empty());
        EXPECT_FALSE(MeasureLibraryBytes(bytes).Doubtful()) << example;
    }
}

// A huge file is judged on a sample.
TEST(DoubtfulFiles, HugeFileIsJudgedOnASample) {
    const std::string zeros(64u << 20, '\0');
    const ReadResult result = MeasureLibraryBytes(zeros);
    EXPECT_TRUE(result.Doubtful());
    EXPECT_EQ(result.sampledRecords, kDoubtSample);
}

}  // namespace
