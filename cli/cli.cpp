#include "cli/cli.h"

#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <system_error>

#include "cli/mapped_file.h"
#include "library/library_reader.h"
#include "library/text.h"
#include "library/two_threads.h"
#include "report/messages.h"
#include "report/report.h"

namespace {

constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

int Fail(std::FILE* err, const std::string& message) {
    std::fprintf(err, "libcompare-cli: %s\n", message.c_str());
    return kTrouble;
}

// The help in German: CLI11's headings, translated.
std::shared_ptr<CLI::Formatter> GermanFormatter() {
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", "Aufruf");
    formatter->label("OPTIONS", "OPTIONEN");
    formatter->label("Positionals", "Argumente");
    formatter->label("TEXT", "TEXT");
    formatter->label("REQUIRED", "PFLICHT");
    formatter->column_width(24);
    return formatter;
}

// Maps both files, compares them and writes the report. Whatever the tool
// says about the files holds only while they stay as they were when opened:
// every piece of output first asks whether a read found one shortened, and
// before success is claimed, once the last byte is out, both are examined in
// full. A file that changed meanwhile ends the run with status 2.
int CompareAndWrite(const ReportSources& paths, const std::string (&shown)[2], ReportFormat format,
                    std::FILE* out, std::FILE* err) {
    SymbolTable tables[2];
    std::int32_t counts[2] = {0, 0};
    std::shared_ptr<const MappedFile> files[2];
    // The first file found changed, -1 when neither; `thorough` also asks the
    // system, which takes a few calls, rather than only what the reads saw.
    const auto changed = [&files](bool thorough) {
        for (int i = 0; i < 2; ++i)
            if (files[i] && (thorough ? files[i]->Changed() : files[i]->Shortened())) return i;
        return -1;
    };
    const auto failChanged = [&](int i) { return Fail(err, ChangedMeanwhileMessage(shown[i])); };
    // A read that failed, or one that failed because the file changed.
    const auto failRead = [&](int i, const ReadResult& result) {
        if (const int c = changed(true); c >= 0) return failChanged(c);
        if (result.status == ReadStatus::kOutOfMemory)
            return Fail(err, OutOfMemoryMessage(shown[i]));
        return Fail(err, ReadFailureMessage(shown[i], result));
    };

    // Each file is judged on a sample first, so that a warning comes at once;
    // then both are checked whole, at the same time.
    ReadResult samples[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = MappedFile::Open(PathFromUtf8(i == 0 ? paths.path1 : paths.path2), samples[i]);
        if (!files[i]) return failRead(i, samples[i]);
    }
    const auto sample = [&](int i) { samples[i] = MeasureLibraryBytes(files[i]->Bytes()); };
    BothAtOnce([&] { sample(0); }, [&] { sample(1); });
    for (int i = 0; i < 2; ++i) {
        if (const int c = changed(false); c >= 0) return failChanged(c);
        if (!samples[i]) return failRead(i, samples[i]);
        if (samples[i].fileSize == 0)
            std::fprintf(err, "libcompare-cli: Warnung: %s\n", EmptyFileMessage(shown[i]).c_str());
        else if (samples[i].Doubtful())
            std::fprintf(err, "libcompare-cli: Warnung: %s\n",
                         DoubtfulLibraryMessage(shown[i], samples[i]).c_str());
    }
    ReadResult reads[2];
    const auto adopt = [&](int i) {
        try {
            DiscardingSymbolList names;
            reads[i] = AdoptLibraryBytes(files[i]->Bytes(), files[i], tables[i], counts[i], names);
        } catch (const std::bad_alloc&) {
            reads[i] = ReadFailure(ReadStatus::kOutOfMemory);
        }
    };
    BothAtOnce([&] { adopt(0); }, [&] { adopt(1); });
    if (const int c = changed(false); c >= 0) return failChanged(c);
    for (int i = 0; i < 2; ++i)
        if (!reads[i]) return failRead(i, reads[i]);
    const auto comparison =
        std::make_unique<Comparison>(CompareTables(tables[0], counts[0], tables[1], counts[1]));
    if (const int c = changed(false); c >= 0) return failChanged(c);
    if (comparison->refused)
        return Fail(err, TooManyPairsMessage(shown[0], shown[1], comparison->pairCount));

    errno = 0;
    const ReportSink sink = [out, &changed](std::string_view bytes) {
        if (changed(false) >= 0) return false;
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    };
    const bool written =
        WriteReport(*comparison, paths, format, sink) && std::fflush(out) == 0 && !std::ferror(out);
    const int cause = errno;  // before the files are examined, which sets it too
    if (const int c = changed(true); c >= 0) return failChanged(c);
    if (!written) {
        // A closed pipe (e.g. "| head") just ends the output: nothing more to say.
        if (std::error_code(cause, std::generic_category()) == std::errc::broken_pipe)
            return kTrouble;
        return Fail(err, "Die Standardausgabe kann nicht geschrieben werden: " +
                             SystemErrorText(cause, FileAccess::kWrite));
    }
    return comparison->HasDifferences() ? kDifferent : kSame;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    CLI::App app(
        "Vergleicht zwei Symbolbibliotheken (*.1) anhand der Symbolnamen und gibt die "
        "gemeinsamen Symbole, die Symbole nur in Bibliothek 1 bzw. 2 und die geänderten "
        "Symbole aus.\n\nRückgabewert: 0 gleich, 1 Unterschiede gefunden, 2 Fehler.\n",
        "libcompare-cli");
    app.formatter(GermanFormatter());
    app.footer(
        "\"--\" beendet die Optionen: Was folgt, sind Dateien, auch wenn es mit \"-\" "
        "beginnt.");
    app.option_defaults()->group("Optionen");
    app.set_help_flag("-h,--help", "Zeigt diese Hilfe an.");
    app.allow_windows_style_options(false);  // "/…" is a path, also on Windows
    app.allow_extras();  // unknown options and surplus files: reported below, in German
    app.set_version_flag("-v,--version", "libcompare-cli " LIBCOMPARE_VERSION,
                         "Zeigt die Versionsnummer an.");
    std::string formatName = "text";
    std::string file1, file2;
    CLI::Option* formatOption =
        app.add_option("-f,--format", formatName,
                       "Ausgabeformat: text (Vorgabe), csv, csv-excel (für Tabellenkalkulationen "
                       "mit deutschen Einstellungen) oder json.")
            ->type_name("FORMAT")
            ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app.add_option("BIBLIOTHEK1", file1, "Die erste Symbolbibliothek.")->type_name("")->required();
    app.add_option("BIBLIOTHEK2", file2, "Die zweite Symbolbibliothek.")->type_name("")->required();

    // "--format=" would make the parser take the next argument as the format.
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--format=")
            return Fail(err, "Der Option --format fehlt ihr Wert (siehe --help).");
    }

    // An option the parser does not know, among what it left over ("--"
    // ends the options); empty when there is none.
    const auto unknownOption = [&app]() -> std::string {
        for (const std::string& extra : app.remaining()) {
            if (extra == "--") break;
            if (extra.size() > 1 && extra[0] == '-') return extra;
        }
        return {};
    };
    const auto failUnknown = [err](const std::string& option) {
        return Fail(err, "Unbekannte Option „" + ValidUtf8(option, true) + "“ (siehe --help).");
    };

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), out);
        return kSame;
    } catch (const CLI::CallForVersion& version) {
        std::fprintf(out, "%s\n", version.what());
        return kSame;
    } catch (const CLI::ArgumentMismatch&) {
        return Fail(err, formatOption->count() > 1
                             ? "Die Option --format ist mehrfach angegeben (siehe --help)."
                             : "Der Option --format fehlt ihr Wert (siehe --help).");
    } catch (const CLI::RequiredError&) {
        // "-x" alone: the unknown option is what to mend first.
        if (const std::string option = unknownOption(); !option.empty()) return failUnknown(option);
        return Fail(err, "Bitte genau zwei Symbolbibliotheken angeben (siehe --help).");
    } catch (const CLI::ParseError& error) {
        return Fail(err, std::string("Die Angaben sind nicht verständlich: ") + error.what());
    }
    // What the parser left over; after "--" nothing counts as an option.
    if (const std::string option = unknownOption(); !option.empty()) return failUnknown(option);
    std::size_t surplus = 0;
    bool optionsEnded = false;
    for (const std::string& extra : app.remaining()) {
        if (extra == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        ++surplus;
    }

    ReportFormat format = ReportFormat::kText;
    if (formatName == "csv")
        format = ReportFormat::kCsv;
    else if (formatName == "csv-excel")
        format = ReportFormat::kCsvExcel;
    else if (formatName == "json")
        format = ReportFormat::kJson;
    else if (formatName != "text")
        return Fail(err, "Unbekanntes Ausgabeformat „" + ValidUtf8(formatName, true) +
                             "“ (erlaubt: text, csv, csv-excel, json).");
    if (surplus > 0)
        return Fail(err, "Bitte genau zwei Symbolbibliotheken angeben (siehe --help).");

    const std::string shown[2] = {ValidUtf8(file1, true), ValidUtf8(file2, true)};
    try {
        return CompareAndWrite({file1, file2}, shown, format, out, err);
    } catch (const std::bad_alloc&) {
        return Fail(err, OutOfMemoryMessage(shown[0], shown[1]));
    }
}
