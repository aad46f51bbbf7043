// libcompare-cli in-process: arguments, exit status, messages and reports, on
// every platform it is built for (also under Wine).
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/mapped_file.h"
#include "report/messages.h"
#include "test_support.h"

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Drain(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

CliRun RunWith(const std::vector<std::string>& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CliRun run;
    if (!out || !err) return run;
    run.status = RunCli(arguments, out, err);
    run.out = Drain(out);
    run.err = Drain(err);
    return run;
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder with an umlaut, as Windows users name theirs.
        folder_ = dir_.path() / std::filesystem::path(u8"Schaltpläne");
        std::filesystem::create_directories(folder_);
        alt_ = Utf8(Write("alt.1", LongLibrary({{"Relais", "Relais 24 V", "Schaltger\xE4te", "S"},
                                                {"Sch\xFCtz", "3-polig", "Schaltger\xE4te", "H"},
                                                {"Motor", "Drehstrom", "Antriebe", "M"}})));
        neu_ = Utf8(Write("neu.1", ShortLibrary({{"Relais", "Relais 24 V"},
                                                 {"Sch\xFCtz", "4-polig"},
                                                 {"motor", "Drehstrom"}})));
    }
    std::filesystem::path Write(const char* name, const std::string& bytes) {
        const auto path = folder_ / name;
        std::FILE* file = std::fopen(Utf8(path).c_str(), "wb");
#if defined(_WIN32)
        if (!file) file = _wfopen(path.c_str(), L"wb");
#endif
        // On Windows a library that the tool has mapped cannot be written.
        if (!file) throw std::runtime_error("cannot write " + Utf8(path));
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

    TempDir dir_;
    std::filesystem::path folder_;
    std::string alt_, neu_;
};

// Paths with umlauts, every format, the exit status of diff.
TEST_F(Cli, ComparesFilesInAFolderWithAnUmlaut) {
    const CliRun text = RunWith({alt_, neu_});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_NE(text.out.find("Gemeinsame Symbole (2)\n  Relais\n  Sch\xC3\xBCtz\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Nur Bezeichnungen verglichen: Bibliothek 2 hat das kurze"),
              std::string::npos);
    EXPECT_NE(RunWith({neu_, alt_}).out.find("Bibliothek 1 hat das kurze"), std::string::npos);

    const CliRun csv = RunWith({"--format", "csv", alt_, neu_});
    EXPECT_EQ(csv.out.substr(0, 56), "list,symbol,designation,classification1,classification2,");
    EXPECT_NE(csv.out.find("only1,Motor,Drehstrom,Antriebe,M,,,,,\r\n"), std::string::npos);

    const CliRun json = RunWith({"--format=json", alt_, neu_});
    EXPECT_NE(json.out.find("\"classificationsCompared\":false"), std::string::npos);
    std::string escaped;  // the path as JSON writes it (Windows' backslashes doubled)
    for (char c : alt_) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(json.out.find("\"path\":\"" + escaped + "\""), std::string::npos) << json.out;
    EXPECT_EQ(json.out.back(), '\n');

    EXPECT_EQ(RunWith({alt_, alt_}).status, 0);
    const std::string empty = Utf8(Write("leer.1", ""));  // nothing to map
    const CliRun emptyRun = RunWith({empty, empty});
    EXPECT_EQ(emptyRun.status, 0);
    const std::string warning =
        "libcompare-cli: Warnung: Die Datei „" + empty +
        "“ ist leer (0 Bytes): Sie wird als Bibliothek ohne Symbole verglichen.\n";
    EXPECT_EQ(emptyRun.err, warning + warning);
    EXPECT_EQ(RunWith({empty, alt_}).status, 1);
    EXPECT_TRUE(RunWith({alt_, alt_}).err.empty());
#if defined(__linux__)
    // A file whose size reads 0, whatever it holds.
    const CliRun proc = RunWith({alt_, "/proc/self/status"});
    EXPECT_EQ(proc.status, 1);
    EXPECT_NE(proc.err.find("„/proc/self/status“ ist leer (0 Bytes)"), std::string::npos)
        << proc.err;
#endif

    // A name with a blank at either end is quoted, so that it cannot be taken
    // for the indentation.
    const std::string blanks =
        Utf8(Write("blank.1", LongLibrary({{" Relais"}, {"Motor "}, {"\xA0Lampe"}})));
    EXPECT_NE(RunWith({blanks, alt_}).out.find("(3)\n  „ Relais“\n  „Motor “\n  „\u00A0Lampe“\n"),
              std::string::npos);
}

// Classifications are compared only when both libraries have the long
// layout, whichever of them is short.
TEST_F(Cli, ClassificationsAreComparedOnlyWhenBothAreLong) {
    const struct {
        const std::string* lib1;
        const std::string* lib2;
        const char* expected;
    } cases[] = {
        {&alt_, &alt_, "\"classificationsCompared\":true"},
        {&alt_, &neu_, "\"classificationsCompared\":false"},
        {&neu_, &alt_, "\"classificationsCompared\":false"},
        {&neu_, &neu_, "\"classificationsCompared\":false"},
    };
    for (const auto& c : cases) {
        const CliRun json = RunWith({"--format=json", *c.lib1, *c.lib2});
        EXPECT_NE(json.out.find(c.expected), std::string::npos)
            << (c.lib1 == &alt_ ? "long" : "short") << ", " << (c.lib2 == &alt_ ? "long" : "short");
    }
}

// Reports of many rows are made in blocks on two threads: every row once, in
// order, and JSON that a strict parser takes, whatever the last block holds.
TEST_F(Cli, LargeReportsKeepEveryRowInOrder) {
    const auto nameOf = [](long i) {  // S00000, S00001, …
        std::string name = std::to_string(100000 + i);
        name[0] = 'S';
        return name;
    };
    for (const long names : {8192L, 8193L, 16389L, 24577L}) {
        // Every fifth name twice in library 2: runs of two common rows.
        std::vector<LongRecord> one, two;
        std::vector<std::string> common;
        long changed = 0, only1 = 0;
        for (long i = 0; i < names; ++i) {
            const std::string name = nameOf(i);
            one.push_back({name, "d", "k", ""});
            for (int twice = 0; twice < (i % 5 == 0 ? 2 : 1); ++twice) {
                two.push_back({name, i % 7 == 0 ? "e" : "d", "k", ""});
                common.push_back(name);
                changed += i % 7 == 0;
            }
            if (i % 3 == 0) {
                one.push_back({Numbered("X", i), "", "", ""});
                ++only1;
            }
        }
        const std::string lib1 = Utf8(Write("eins.1", LongLibrary(one)));
        const std::string lib2 = Utf8(Write("zwei.1", LongLibrary(two)));
        const auto rows = static_cast<long>(common.size());

        rapidjson::Document json;
        json.Parse(RunWith({"--format=json", lib1, lib2}).out.c_str());
        ASSERT_FALSE(json.HasParseError()) << names;
        ASSERT_EQ(json["common"].Size(), static_cast<unsigned>(rows));
        for (long k = 0; k < rows; k += 4099)
            EXPECT_EQ(json["common"][static_cast<unsigned>(k)]["symbol"].GetString(),
                      common[static_cast<std::size_t>(k)]);
        EXPECT_EQ(json["changed"].Size(), static_cast<unsigned>(changed));
        EXPECT_EQ(json["only1"].Size(), static_cast<unsigned>(only1));
        EXPECT_EQ(json["only2"].Size(), 0u);

        const std::string csv = RunWith({"--format=csv", lib1, lib2}).out;
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + rows + only1) << names;
        const std::string text = RunWith({lib1, lib2}).out;
        // "Gemeinsame Symbole (8.192)", grouped as the counts line groups.
        const std::string heading =
            "Gemeinsame Symbole (" + GermanNumber(static_cast<std::uint64_t>(rows)) + ")\n";
        ASSERT_NE(text.find(heading), std::string::npos) << names;
        std::string expected;
        for (const std::string& name : common) expected += "  " + name + "\n";
        EXPECT_EQ(text.substr(text.find(heading) + heading.size(), expected.size()), expected);
        // Four lines before five sections, each with its heading and an empty
        // line after it; two lines a change.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12 + 2 * changed + only1 + rows)
            << names;
    }
}

// Another program changes a library while the tool runs, after the file is
// opened: shortens it inside its last page (no read goes past its end) or to
// half, copies another library of the same size over it (also keeping the
// time, which leaves size and time as they were), or rewrites a few bytes in
// place.
// Whatever the report said, the run ends with the message and status 2. On
// Windows nobody can write to a file that is mapped.
TEST_F(Cli, ALibraryChangedMeanwhileIsReported) {
    std::vector<LongRecord> records(3000, {"Relais", "Relais 24 V", "S", "H"}), others = records;
    for (LongRecord& r : others) r[1] = "Relais 12 V";  // the same size
    const std::string bytes = LongLibrary(records);
    const auto path = folder_ / "gross.1";
    const std::string big = Utf8(path);
    const struct {
        const char* name;
        std::function<void()> change;
    } ways[] = {
        {"cut inside the last page",
         [&] { std::filesystem::resize_file(path, bytes.size() - 14); }},
        {"cut to half", [&] { std::filesystem::resize_file(path, bytes.size() / 2); }},
        {"copied over", [&] { Write("gross.1", LongLibrary(others)); }},
        {"copied over, keeping the time (cp -p)",
         [&] {
             const auto time = std::filesystem::last_write_time(path);
             Write("gross.1", LongLibrary(others));
             std::filesystem::last_write_time(path, time);
         }},
        {"rewritten in place",
         [&] {
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(static_cast<std::streamoff>(bytes.size() / 2));
             file.write("XXXX", 4);
         }},
    };
    for (const auto& way : ways) {
        for (const bool first : {true, false}) {
            Write("gross.1", bytes);
            bool changed = false;
            MappedFile::SetAfterMappingHook([&](const std::filesystem::path& mapped) {
                if (Utf8(mapped) != big) return;
                try {
                    way.change();
                    changed = true;
                } catch (const std::exception&) {  // Windows: the file is not to be written
                }
            });
            const CliRun run = first ? RunWith({big, alt_}) : RunWith({alt_, big});
            MappedFile::SetAfterMappingHook({});
#if defined(_WIN32)
            EXPECT_FALSE(changed && std::filesystem::file_size(path) != bytes.size()) << way.name;
            (void)run;
#else
            EXPECT_TRUE(changed) << way.name;
            EXPECT_EQ(run.status, 2) << way.name << (first ? ", library 1" : ", library 2");
            EXPECT_EQ(run.err, "libcompare-cli: Die Datei „" + big +
                                   "“ wurde während des Vergleichs verändert (gekürzt, "
                                   "überschrieben oder ersetzt); das Ergebnis gilt nicht.\n")
                << way.name;
#endif
        }
    }
}

#if defined(__GLIBC__)
// Standard output that changes a library while the report is being written:
// the check after the last byte finds it, whichever library it is.
TEST_F(Cli, ALibraryChangedWhileTheReportIsWrittenIsReported) {
    struct Sink {
        std::function<void()> firstWrite;
        std::string written;
    };
    cookie_io_functions_t functions = {};
    functions.write = [](void* cookie, const char* bytes, std::size_t size) -> ssize_t {
        auto* sink = static_cast<Sink*>(cookie);
        if (sink->firstWrite) std::exchange(sink->firstWrite, {})();
        sink->written.append(bytes, size);
        return static_cast<ssize_t>(size);
    };
    const std::string bytes = LongLibrary(std::vector<LongRecord>(3000, {"Relais", "24 V"}));
    const auto path = folder_ / "gross.1";
    const std::string big = Utf8(path);
    for (const bool shorten : {true, false}) {
        for (const bool first : {true, false}) {
            Write("gross.1", bytes);
            Sink sink;
            sink.firstWrite = [&] {
                if (shorten) {
                    std::filesystem::resize_file(path, bytes.size() / 2);
                } else {
                    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
                    file.seekp(100);
                    file.write("X", 1);
                }
            };
            std::FILE* out = fopencookie(&sink, "w", functions);
            std::FILE* err = std::tmpfile();
            const int status = RunCli(first ? std::vector<std::string>{"--format=json", big, alt_}
                                            : std::vector<std::string>{"--format=json", alt_, big},
                                      out, err);
            std::fclose(out);
            const std::string message = Drain(err);
            EXPECT_FALSE(sink.firstWrite) << "nothing was written";
            EXPECT_EQ(status, 2) << (shorten ? "shortened, " : "rewritten, ")
                                 << (first ? "library 1" : "library 2");
            EXPECT_NE(message.find("„" + big + "“ wurde während des Vergleichs verändert"),
                      std::string::npos)
                << message;
        }
    }
}
#endif

#if defined(_WIN32)
// On Windows nobody may write to a library while it is mapped: one that
// another program holds open for writing is not read.
TEST_F(Cli, ALibraryOpenForWritingElsewhereIsNotRead) {
    std::ofstream writer(std::filesystem::path(PathFromUtf8(neu_)), std::ios::app);
    ASSERT_TRUE(writer.is_open());
    const CliRun run = RunWith({alt_, neu_});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Sie wird von einem anderen Programm verwendet."), std::string::npos)
        << run.err;
}
#endif

// Every failure: status 2, nothing on standard output, a German message
// naming what was typed.
TEST_F(Cli, FailuresNameWhatWasTyped) {
    const std::string missing = Utf8(folder_ / "fehlt.1");
    const std::string notALibrary =
        Utf8(Write("endlos.1", "SL" + std::string(12, '\0') + std::string(3000, 'A')));
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    };
    std::vector<Case> cases = {
        {{alt_, missing}, "„" + missing + "“"},
        {{alt_}, "genau zwei"},
        {{"--format", "xml", alt_, neu_}, "„xml“"},
        {{"--farbe", alt_, neu_}, "„--farbe“"},
        {{alt_, neu_, alt_}, "genau zwei"},
        {{"--format"}, "Der Option --format fehlt ihr Wert (siehe --help)."},
        {{"--format=", alt_, neu_}, "Der Option --format fehlt ihr Wert"},
        {{"-f", "json", "-f", "csv", alt_, neu_}, "--format ist mehrfach angegeben"},
        {{"--", alt_, neu_, "-x"}, "genau zwei"},
        {{"-x"}, "Unbekannte Option „-x“"},
        {{alt_, "-y"}, "Unbekannte Option „-y“"},
        // Fields that run on to the end of the file from every record.
        {{notALibrary, alt_}, "„" + notALibrary + "“ kann nicht eingelesen werden: Sie ist keine"},
        {{alt_, notALibrary}, "„" + notALibrary + "“ kann nicht eingelesen werden: Sie ist keine"},
        {{alt_, Utf8(folder_)}, "Sie ist ein Ordner."},
        // A bidirectional control could turn the message around on a terminal.
        {{alt_, "fehlt\u202E1.txt"}, "„fehlt\uFFFD1.txt“"},
    };
#if !defined(_WIN32)
    cases.push_back(
        {{"/dev/null", alt_}, "„/dev/null“ kann nicht eingelesen werden: Sie ist keine"});
    const auto loop = folder_ / "schleife.1";
    std::filesystem::create_symlink(loop, loop);
    cases.push_back({{alt_, Utf8(loop)}, "Zu viele symbolische Verknüpfungen hintereinander"});
    // Files under /sys cannot be mapped.
    if (std::filesystem::exists("/sys/kernel/uevent_seqnum"))
        cases.push_back({{alt_, "/sys/kernel/uevent_seqnum"},
                         "„/sys/kernel/uevent_seqnum“ kann nicht eingelesen werden: Das Gerät "
                         "oder Dateisystem, auf dem sie liegt, lässt sie so nicht lesen."});
    // Windows hands over its arguments as valid UTF-16. Elsewhere escape sequences, line breaks and
    // bytes that are no UTF-8 show visibly.
    cases.push_back({{alt_, "kein\x1B[31m\nName\xFF.1"},
                     "„kein\xE2\x90\x9B[31m\xE2\x90\x8AName\xEF\xBF\xBD.1“"});
#endif
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.arguments);
        EXPECT_EQ(run.status, 2) << c.expected;
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind("libcompare-cli: ", 0), 0u) << run.err;
    }
}

// "--" ends the options: a library may be named like one.
TEST_F(Cli, DoubleDashEndsTheOptions) {
    const std::string dashed = Utf8(Write("-x.1", LongLibrary({{"Relais"}})));
    std::filesystem::current_path(folder_);
    const CliRun run = RunWith({"--format", "csv", "--", "-x.1", alt_});
    std::filesystem::current_path(dir_.path());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("common,Relais"), std::string::npos) << run.out;
}

// A name that a spreadsheet would run as a formula is defused in csv-excel,
// and left byte for byte in plain CSV.
TEST_F(Cli, SpreadsheetCsvDefusesFormulas) {
    const std::string formulas = Utf8(
        Write("formel.1",
              LongLibrary({{"=HYPERLINK(\"http://x\")", "+1"}, {"-2", "@A1"}, {"\tT", "\rR"}})));
    const CliRun excel = RunWith({"--format", "csv-excel", formulas, formulas});
    EXPECT_NE(excel.out.find("\"'=HYPERLINK(\"\"http://x\"\")\";'+1;"), std::string::npos)
        << excel.out;
    EXPECT_NE(excel.out.find(";'-2;'@A1;"), std::string::npos) << excel.out;
    EXPECT_NE(excel.out.find(";'\tT;\"'\rR\";"), std::string::npos) << excel.out;
    const CliRun csv = RunWith({"--format", "csv", formulas, formulas});
    EXPECT_NE(csv.out.find(",\"=HYPERLINK(\"\"http://x\"\")\",+1,"), std::string::npos) << csv.out;
    EXPECT_EQ(excel.status, 0);  // a file against itself
}

// --list: one library as text, a record a line, status 0.
TEST_F(Cli, ListsOneLibrary) {
    const struct {
        const char* name;
        std::string path;
        std::string out;
        std::string err = {};
    } cases[] = {
        {"long layout", alt_,
         "Motor\tDrehstrom\tAntriebe\tM\nRelais\tRelais 24 V\tSchaltgeräte\tS\n"
         "Schütz\t3-polig\tSchaltgeräte\tH\n"},
        {"short layout", neu_, "motor\tDrehstrom\nRelais\tRelais 24 V\nSchütz\t4-polig\n"},
        {"an empty file lists nothing, without a warning", Utf8(Write("leer.1", "")), ""},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith({"--list", c.path});
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
    }
    // A file that does not look like a library (three records of zeros after
    // the header and record 0) is warned about, as the comparison warns, and
    // listed all the same.
    const std::string zeros = Utf8(Write("nullen.1", std::string(14 + 64 * 4, '\0')));
    const CliRun doubtful = RunWith({"--list", zeros});
    EXPECT_EQ(doubtful.status, 0);
    EXPECT_EQ(doubtful.out, "\t\n\t\n\t\n");
    EXPECT_EQ(doubtful.err, "libcompare-cli: Warnung: Die Datei „" + zeros +
                                "“ sieht nicht wie eine Symbolbibliothek aus: 3 von 3 geprüften "
                                "Datensätzen haben einen leeren Symbolnamen, Steuerzeichen darin, "
                                "einen Namen, der über seinen Datensatz hinausreicht, oder fast "
                                "nur einzelne Zeichen.\n");
}

// A file that cannot be read: the comparison's message for it and status 2,
// nothing on standard output.
TEST_F(Cli, ListingAFileThatCannotBeReadSaysWhatTheComparisonSays) {
    std::vector<std::string> unreadable = {
        Utf8(folder_ / "fehlt.1"), Utf8(folder_),
        Utf8(Write("endlos.1", "SL" + std::string(12, '\0') + std::string(3000, 'A')))};
#if !defined(_WIN32)
    unreadable.push_back("/dev/null");
#endif
    for (const std::string& path : unreadable) {
        const CliRun listed = RunWith({"--list", path});
        const CliRun compared = RunWith({path, alt_});
        EXPECT_EQ(listed.status, 2) << path;
        EXPECT_EQ(compared.status, 2) << path;
        EXPECT_TRUE(listed.out.empty()) << path;
        EXPECT_NE(listed.err.find("„" + path + "“ kann nicht eingelesen werden: "),
                  std::string::npos)
            << listed.err;
        EXPECT_EQ(listed.err, compared.err) << path;
    }
}

// --list with what belongs to a comparison, or without its library: a usage
// error, worded as the others are.
TEST_F(Cli, ListWithOtherArgumentsIsAUsageError) {
    const std::string alone =
        "libcompare-cli: Der Option --list fehlt die Symbolbibliothek (siehe --help).\n";
    const std::string combined =
        "libcompare-cli: Die Option --list gibt eine einzige Symbolbibliothek aus, ohne zweite "
        "Bibliothek und ohne --format (siehe --help).\n";
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"--list"}, alone},
        {{"--list", alt_, neu_}, combined},
        {{alt_, neu_, "-l"}, combined},
        {{"--list", "--format", "csv", alt_}, combined},
        {{"--list", "--format=json", alt_}, combined},
        {{"--list", "--farbe", alt_},
         "libcompare-cli: Unbekannte Option „--farbe“ (siehe --help).\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.arguments);
        EXPECT_EQ(run.status, 2) << c.err;
        EXPECT_TRUE(run.out.empty()) << c.err;
        EXPECT_EQ(run.err, c.err);
    }
}

#if !defined(_WIN32)
// A library shortened or rewritten while it is listed: status 2 and the
// message, whatever was written.
TEST_F(Cli, ALibraryChangedWhileListedIsReported) {
    std::vector<LongRecord> records(3000, {"Relais", "Relais 24 V", "S", "H"});
    const std::string bytes = LongLibrary(records);
    const auto path = folder_ / "gross.1";
    const std::string big = Utf8(path);
    const struct {
        const char* name;
        std::function<void()> change;
    } ways[] = {
        {"cut to half", [&] { std::filesystem::resize_file(path, bytes.size() / 2); }},
        {"rewritten in place",
         [&] {
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(static_cast<std::streamoff>(bytes.size() / 2));
             file.write("XXXX", 4);
         }},
    };
    for (const auto& way : ways) {
        Write("gross.1", bytes);
        MappedFile::SetAfterMappingHook([&](const std::filesystem::path&) { way.change(); });
        const CliRun run = RunWith({"--list", big});
        MappedFile::SetAfterMappingHook({});
        EXPECT_EQ(run.status, 2) << way.name;
        EXPECT_EQ(run.err, "libcompare-cli: Die Datei „" + big +
                               "“ wurde während der Ausgabe verändert (gekürzt, überschrieben "
                               "oder ersetzt); die Ausgabe gilt nicht.\n")
            << way.name;
    }
}
#endif

TEST(CliHelp, GermanHelpAndVersion) {
    const CliRun help = RunWith({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* part :
         {"Aufruf", "--format", "csv-excel", "Symbolbibliotheken", "BIBLIOTHEK1", "Rückgabewert"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part << "\n" << help.out;
    EXPECT_NE(help.out.find("[OPTIONEN] BIBLIOTHEK1 BIBLIOTHEK2\n"), std::string::npos) << help.out;
    const CliRun version = RunWith({"-v"});
    EXPECT_EQ(version.out, "libcompare-cli " LIBCOMPARE_VERSION "\n");
}

}  // namespace
