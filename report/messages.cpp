#include "report/messages.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "library/text.h"

std::string SystemErrorText(int error, FileAccess access) {
    const bool reading = access == FileAccess::kRead;
    const auto code = std::error_code(error, std::generic_category());
    if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted)
        return reading ? "Keine Leseberechtigung." : "Keine Schreibberechtigung.";
    if (code == std::errc::no_such_file_or_directory)
        return reading ? "Sie existiert nicht." : "Der Ordner existiert nicht.";
    if (code == std::errc::is_a_directory) return "Sie ist ein Ordner.";
    if (code == std::errc::not_a_directory) return "Ein Teil des Pfades ist kein Ordner.";
    if (code == std::errc::device_or_resource_busy || code == std::errc::text_file_busy)
        return "Sie wird von einem anderen Programm verwendet.";
    if (code == std::errc::too_many_files_open || code == std::errc::too_many_files_open_in_system)
        return "Zu viele Dateien sind geöffnet.";
    if (code == std::errc::no_space_on_device) return "Der Datenträger ist voll.";
    if (code == std::errc::file_too_large) return "Die Datei würde zu groß.";
    if (code == std::errc::read_only_file_system) return "Der Datenträger ist schreibgeschützt.";
    if (code == std::errc::filename_too_long) return "Der Name ist zu lang.";
    if (code == std::errc::illegal_byte_sequence)
        return "Ihr Name lässt sich nicht lesen: Er enthält Bytes, die kein gültiges UTF-8 sind.";
    if (code == std::errc::io_error) return "Ein Ein-/Ausgabefehler ist aufgetreten.";
    if (code == std::errc::bad_file_descriptor)
        return reading ? "Sie ist nicht zum Lesen geöffnet."
                       : "Sie ist nicht zum Schreiben geöffnet.";
    if (code == std::errc::no_such_device)  // e.g. a file under /sys, which cannot be mapped
        return "Das Gerät oder Dateisystem, auf dem sie liegt, lässt sie so nicht lesen.";
    if (code == std::errc::no_such_device_or_address)
        return "Das Gerät, für das sie steht, ist nicht vorhanden.";
    if (code == std::errc::too_many_symbolic_link_levels)
        return "Zu viele symbolische Verknüpfungen hintereinander (wohl eine Schleife).";
    if (code == std::errc::not_enough_memory) return "Nicht genug Arbeitsspeicher.";
    if (code == std::errc::invalid_argument)
        return "Das Dateisystem lässt diesen Zugriff auf sie nicht zu.";
    if (code == std::errc::not_supported || code == std::errc::operation_not_supported)
        return "Das Dateisystem unterstützt diesen Zugriff nicht.";
    if (code == std::errc::resource_unavailable_try_again)
        return "Sie ist gerade nicht verfügbar; bitte später noch einmal versuchen.";
    if (code == std::errc::value_too_large) return "Sie ist zu groß für dieses System.";
    if (code == std::errc::interrupted) return "Der Zugriff wurde unterbrochen.";
    if (code == std::errc::timed_out) return "Der Zugriff hat zu lange gedauert.";
    if (code == std::errc::cross_device_link)
        return "Sie liegt auf einem anderen Datenträger als ihr Ziel.";
    if (code == std::errc::file_exists) return "Sie existiert bereits.";
#if defined(EDQUOT)
    if (error == EDQUOT) return "Das Speicherkontingent ist erschöpft.";
#endif
#if defined(ESTALE)
    if (error == ESTALE) return "Die Netzwerkfreigabe, auf der sie liegt, ist nicht mehr gültig.";
#endif
#if defined(ENOMEDIUM)
    if (error == ENOMEDIUM) return "Kein Datenträger eingelegt.";
#endif
    return (reading ? "Sie lässt sich nicht öffnen (Fehlernummer "
                    : "Schreiben nicht möglich (Fehlernummer ") +
           std::to_string(error) + ").";
}

std::string ReadFailureMessage(const std::string& name, const ReadResult& result) {
    std::string reason;
    switch (result.status) {
        case ReadStatus::kNotRead:
        case ReadStatus::kOk:
        case ReadStatus::kCancelled:
            return {};
        case ReadStatus::kNotFound:
            reason = "Sie existiert nicht.";
            break;
        case ReadStatus::kDirectory:
            reason = "Sie ist ein Ordner.";
            break;
        case ReadStatus::kNotRegularFile:
            reason = "Sie ist keine gewöhnliche Datei (sondern z. B. ein Gerät oder eine Pipe).";
            break;
        case ReadStatus::kCannotOpen:
            reason = result.systemError != 0
                         ? SystemErrorText(result.systemError, FileAccess::kRead)
                         : "Sie lässt sich nicht öffnen.";
            break;
        case ReadStatus::kOutOfMemory:
            return OutOfMemoryMessage(name);
        case ReadStatus::kReadError:
            reason = "Beim Lesen ist ein Fehler aufgetreten.";
            break;
        case ReadStatus::kTruncated:
            reason = "Sie wurde während des Lesens verkürzt.";
            break;
        case ReadStatus::kTooManyRecords:
            reason = "Sie enthält mehr als " + GermanNumber(result.bound) + " Datensätze.";
            break;
        case ReadStatus::kNotALibrary:
            reason =
                "Sie ist keine Symbolbibliothek (ihre Felder sind nicht abgeschlossen, "
                "zusammen länger als das " +
                std::to_string(result.bound) + "-Fache der Datei).";
            break;
    }
    return "Die Datei „" + name + "“ kann nicht eingelesen werden: " + reason;
}

namespace {

// What a file that begins with `signature` is, in words: "eine PDF-Datei".
std::string KindOfFile(FileSignature signature) {
    switch (signature) {
        case FileSignature::kNone:
            break;
        case FileSignature::kPdf:
            return "eine PDF-Datei";
        case FileSignature::kZip:
            return "ein ZIP-Archiv (oder eine Office-Datei)";
        case FileSignature::kPng:
            return "ein PNG-Bild";
        case FileSignature::kJpeg:
            return "ein JPEG-Bild";
        case FileSignature::kGif:
            return "ein GIF-Bild";
        case FileSignature::kElf:
            return "ein Linux-Programm";
        case FileSignature::kWindowsProgram:
            return "ein Windows-Programm";
        case FileSignature::kGzip:
            return "ein gzip-Archiv";
        case FileSignature::kUtf16Text:
            return "ein Text in UTF-16";
        case FileSignature::kUtf8Text:
            return "ein Text in UTF-8 mit Byte-Order-Mark";
    }
    return {};
}

}  // namespace

std::string DoubtfulLibraryMessage(const std::string& name, const ReadResult& result) {
    if (result.signature != FileSignature::kNone)
        return "Die Datei „" + name +
               "“ sieht nicht wie eine Symbolbibliothek aus: Sie beginnt wie " +
               KindOfFile(result.signature) + ".";
    return "Die Datei „" + name +
           "“ sieht nicht wie eine Symbolbibliothek aus: " + std::to_string(result.oddRecords) +
           " von " + std::to_string(result.sampledRecords) +
           " geprüften Datensätzen haben einen leeren Symbolnamen, Steuerzeichen darin, einen "
           "Namen, der über seinen Datensatz hinausreicht, oder fast nur einzelne Zeichen.";
}

std::string EmptyFileMessage(const std::string& name) {
    return "Die Datei „" + name +
           "“ ist leer (0 Bytes): Sie wird als Bibliothek ohne Symbole verglichen.";
}

std::string OutOfMemoryMessage(const std::string& name) {
    return "Nicht genug Arbeitsspeicher, um „" + name + "“ zu vergleichen.";
}

std::string OutOfMemoryMessage(const std::string& name1, const std::string& name2) {
    return "Nicht genug Arbeitsspeicher, um „" + name1 + "“ mit „" + name2 + "“ zu vergleichen.";
}

std::string ChangedMeanwhileMessage(const std::string& name) {
    return "Die Datei „" + name +
           "“ wurde während des Vergleichs verändert (gekürzt, überschrieben oder ersetzt); das "
           "Ergebnis gilt nicht.";
}

std::string ArgumentProblemMessage(ArgumentProblem problem, const std::string& given) {
    switch (problem) {
        case ArgumentProblem::kFormatWithoutValue:
            return "Der Option --format fehlt ihr Wert (siehe --help).";
        case ArgumentProblem::kFormatRepeated:
            return "Die Option --format ist mehrfach angegeben (siehe --help).";
        case ArgumentProblem::kUnknownOption:
            return "Unbekannte Option „" + given + "“ (siehe --help).";
        case ArgumentProblem::kUnknownFormat:
            return "Unbekanntes Ausgabeformat „" + given +
                   "“ (erlaubt: text, csv, csv-excel, json).";
        case ArgumentProblem::kNotTwoFiles:
            return "Bitte genau zwei Symbolbibliotheken angeben (siehe --help).";
        case ArgumentProblem::kListWithoutFile:
            return "Der Option --list fehlt die Symbolbibliothek (siehe --help).";
        case ArgumentProblem::kListWithComparison:
            return "Die Option --list gibt eine einzige Symbolbibliothek aus, ohne zweite "
                   "Bibliothek und ohne --format (siehe --help).";
        case ArgumentProblem::kNotUnderstood:
            break;
    }
    return "Die Angaben sind nicht verständlich: " + given;
}

const CliHelpWords& CliHelp() {
    static const CliHelpWords words = {
        .description =
            "Vergleicht zwei Symbolbibliotheken (*.1) anhand der Symbolnamen und gibt die "
            "gemeinsamen Symbole, die Symbole nur in Bibliothek 1 bzw. 2 und die geänderten "
            "Symbole aus.\n\nRückgabewert: 0 gleich, 1 Unterschiede gefunden, 2 Fehler.\n",
        .footer =
            "\"--\" beendet die Optionen: Was folgt, sind Dateien, auch wenn es mit \"-\" "
            "beginnt.",
        .optionsGroup = "Optionen",
        .help = "Zeigt diese Hilfe an.",
        .version = "Zeigt die Versionsnummer an.",
        .format =
            "Ausgabeformat: text (Vorgabe), csv, csv-excel (für Tabellenkalkulationen mit "
            "deutschen Einstellungen), json oder html (eine Seite zum Lesen und Drucken).",
        .library1 = "Die erste Symbolbibliothek.",
        .library2 = "Die zweite Symbolbibliothek.",
        .usage = "Aufruf",
        .options = "OPTIONEN",
        .positionals = "Argumente",
        .required = "PFLICHT",
    };
    return words;
}

std::string StandardOutputFailureMessage(int error) {
    return "Die Standardausgabe kann nicht geschrieben werden: " +
           SystemErrorText(error, FileAccess::kWrite);
}

std::string WarningMessage(const std::string& message) {
    return "Warnung: " + message;
}

std::string GermanNumber(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, '.');
    return digits;
}

std::string TooManyPairsMessage(const std::string& name1, const std::string& name2,
                                std::uint64_t pairs) {
    return "Der Vergleich von „" + name1 + "“ mit „" + name2 + "“ ergäbe " + GermanNumber(pairs) +
           " gemeinsame Einträge, weil Symbolnamen in beiden Bibliotheken mehrfach vorkommen "
           "(jedes Paar zählt einzeln). Mehr als " +
           GermanNumber(kMaxCommonPairs) + " Einträge werden nicht verglichen.";
}

std::string ComparisonCounts(const Comparison& comparison) {
    return GermanNumber(comparison.pairs.size()) + " gemeinsam, davon " +
           GermanNumber(comparison.changed.size()) + " geändert · " +
           GermanNumber(comparison.only1.size()) + " nur in Bibliothek 1 · " +
           GermanNumber(comparison.only2.size()) + " nur in Bibliothek 2";
}

std::string LayoutName(LibraryLayout layout) {
    return layout == LibraryLayout::kLong ? "langes Format" : "kurzes Format";
}

std::vector<ChangedField> ChangedFields(const Comparison& comparison, const MatchedPair& pair) {
    const SymbolEntry before = comparison.Record1(pair);
    const SymbolEntry after = comparison.Record2(pair);
    const struct {
        std::uint8_t bit;
        ChangedField field;
    } all[] = {{kDesignationDiffers, {"Bezeichnung", before.designation, after.designation}},
               {kClassification1Differs,
                {"Klassifizierung 1", before.classification1, after.classification1}},
               {kClassification2Differs,
                {"Klassifizierung 2", before.classification2, after.classification2}}};
    std::vector<ChangedField> changed;
    for (const auto& f : all)
        if (pair.differences & f.bit) changed.push_back(f.field);
    return changed;
}

// ---- the review in the dialog ----------------------------------------------

DifferingPart FindDifferingPart(std::string_view before, std::string_view after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t start = 0;
    while (start < shorter && before[start] == after[start]) ++start;
    std::size_t common = 0;  // at the end, not reaching into the common start
    while (common < shorter - start &&
           before[before.size() - 1 - common] == after[after.size() - 1 - common])
        ++common;
    return {start, before.size() - common, after.size() - common};
}

ShownValue ShowValue(std::string_view value, std::size_t start, std::size_t end) {
    // The blanks that lead and trail the whole value.
    std::size_t lead = 0;
    while (lead < value.size() && value[lead] == ' ') ++lead;
    std::size_t trail = value.size();
    while (trail > lead && value[trail - 1] == ' ') --trail;
    const auto piece = [&](std::size_t from, std::size_t to) {
        std::string out;
        for (std::size_t i = from; i < to; ++i) {
            if (i < lead || i >= trail)
                out += "␣";
            else
                AppendWindows1252Visible(value.substr(i, 1), out);
        }
        return out;
    };
    start = std::min(start, value.size());
    end = std::clamp(end, start, value.size());
    return {piece(0, start), piece(start, end), piece(end, value.size())};
}

namespace {

bool OnlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::string DifferenceInWords(std::string_view before, std::string_view after) {
    const DifferingPart part = FindDifferingPart(before, after);
    const std::string_view was = before.substr(part.start, part.endBefore - part.start);
    const std::string_view is = after.substr(part.start, part.endAfter - part.start);
    if (OnlyBlanks(was) && OnlyBlanks(is)) {
        if (part.endBefore == before.size() && part.endAfter == after.size())
            return "Leerzeichen am Ende";
        if (part.start == 0) return "Leerzeichen am Anfang";
        return "Leerzeichen";
    }
    if (before.size() == after.size() && StartsWithIgnoringCase(before, after))
        return "nur Groß- und Kleinschreibung";
    const ShownValue old = ShowValue(before, part.start, part.endBefore);
    const ShownValue now = ShowValue(after, part.start, part.endAfter);
    if (was.empty()) return "„" + now.differing + "“ hinzugefügt";
    if (is.empty()) return "„" + old.differing + "“ entfernt";
    return "„" + old.differing + "“ → „" + now.differing + "“";
}

std::string ChangeDescription(const Comparison& comparison, const MatchedPair& pair) {
    std::string out;
    for (const ChangedField& f : ChangedFields(comparison, pair)) {
        if (!out.empty()) out += "; ";
        const DifferingPart part = FindDifferingPart(f.before, f.after);
        out += std::string(f.label) + ": „" +
               ShowValue(f.before, part.start, part.endBefore).Whole() + "“ → „" +
               ShowValue(f.after, part.start, part.endAfter).Whole() +
               "“ (Unterschied: " + DifferenceInWords(f.before, f.after) + ")";
    }
    return out;
}

std::string StepPosition(int index, int count) {
    return "Änderung " + GermanNumber(static_cast<std::uint64_t>(index)) + " von " +
           GermanNumber(static_cast<std::uint64_t>(count));
}

std::string StepAtEnd(bool forward) {
    return forward ? "Letzte Änderung – Alt+↓ beginnt wieder bei der ersten"
                   : "Erste Änderung – Alt+↑ beginnt wieder bei der letzten";
}

std::string NoChangeShown() {
    return "Keine Änderung in der Liste";
}

std::string ClassificationsNotCompared(LibraryLayout layout1, LibraryLayout layout2) {
    const bool short1 = layout1 == LibraryLayout::kShort, short2 = layout2 == LibraryLayout::kShort;
    return std::string("Klassifizierungen nicht verglichen (") +
           (short1 && short2 ? "beide Bibliotheken"
            : short1         ? "Bibliothek 1"
                             : "Bibliothek 2") +
           " im kurzen Format)";
}

std::string ExportedMessage(const std::string& name, std::uint64_t changes, std::uint64_t lines) {
    return "Exportiert: " + name + " (" + GermanNumber(changes) +
           (changes == 1 ? " Änderung, " : " Änderungen, ") + GermanNumber(lines) +
           (lines == 1 ? " Zeile)" : " Zeilen)");
}

std::string NothingToExport(bool refused) {
    return refused ? "Nichts zu exportieren: Der Vergleich wurde abgelehnt, weil er zu viele "
                     "gemeinsame Einträge ergäbe."
                   : "Exportieren geht, sobald ein Vergleich angezeigt wird: erst beide "
                     "Bibliotheken einlesen und vergleichen.";
}

std::string ExportName(const std::string& name1, const std::string& name2) {
    return name1 + " – " + name2;
}

std::string ReadingMessage(const std::string& name) {
    return "Lese „" + name + "“ …";
}

std::string ReloadedMessage(const std::string& time, const std::string& before, bool same) {
    return "Neu eingelesen um " + time +
           (same ? ": keine Änderung der Zahlen" : " (vorher: " + before + ")");
}

// ---- libcompare-cli --list -------------------------------------------------

const char* ListOptionHelp() {
    return "Gibt statt eines Vergleichs eine einzige Symbolbibliothek als Text aus "
           "(libcompare-cli --list BIBLIOTHEK): ein Datensatz je Zeile, sortiert wie die Listen, "
           "die Felder durch Tabulatoren getrennt; für git diff.";
}

std::string ChangedWhileListedMessage(const std::string& name) {
    return "Die Datei „" + name +
           "“ wurde während der Ausgabe verändert (gekürzt, überschrieben oder ersetzt); die "
           "Ausgabe gilt nicht.";
}

std::string ListOutOfMemoryMessage(const std::string& name) {
    return "Nicht genug Arbeitsspeicher, um „" + name + "“ auszugeben.";
}

// ---- the reports -------------------------------------------------------------

std::string OnlyDesignationsCompared(const Comparison& comparison) {
    if (comparison.options.ignoreClassifications)
        return std::string("Nur Bezeichnungen verglichen: Vergleichsoption „") +
               ComparisonOptionText().ignoreClassifications + "“.";
    const bool short1 = comparison.lib1.layout == LibraryLayout::kShort;
    const bool short2 = comparison.lib2.layout == LibraryLayout::kShort;
    return std::string("Nur Bezeichnungen verglichen: ") +
           (short1 && short2 ? "beide Bibliotheken haben"
            : short1         ? "Bibliothek 1 hat"
                             : "Bibliothek 2 hat") +
           " das kurze Format ohne Klassifizierungen.";
}

// ---- comparison options ----------------------------------------------------

const ComparisonOptionWords& ComparisonOptionText() {
    static const ComparisonOptionWords words = {
        .title = "Vergleichsoptionen",
        .ignoreCase = "Groß-/Kleinschreibung der Felder ignorieren",
        .ignoreBlanks = "Leerzeichen am Rand ignorieren",
        .ignoreClassifications = "Klassifizierungen nicht vergleichen",
        .ignoreCaseHelp =
            "Felder, die sich nur in Groß- und Kleinschreibung unterscheiden, gelten als gleich. "
            "Symbolnamen werden weiter Byte für Byte zugeordnet.",
        .ignoreBlanksHelp =
            "Leerzeichen, Tabulatoren und geschützte Leerzeichen am Anfang und Ende eines Felds "
            "zählen nicht.",
        .ignoreClassificationsHelp =
            "Vergleicht nur die Bezeichnungen, auch wenn beide Bibliotheken Klassifizierungen "
            "haben.",
    };
    return words;
}

std::string ComparisonOptionsInWords(const ComparisonOptions& options) {
    const ComparisonOptionWords& words = ComparisonOptionText();
    std::string text;
    for (const auto& [set, name] :
         {std::pair{options.ignoreCase, words.ignoreCase},
          std::pair{options.ignoreBlanks, words.ignoreBlanks},
          std::pair{options.ignoreClassifications, words.ignoreClassifications}}) {
        if (!set) continue;
        if (!text.empty()) text += ", ";
        text += name;
    }
    return text;
}

std::string ClassificationsNotCompared(const Comparison& comparison) {
    if (comparison.options.ignoreClassifications)
        return "Klassifizierungen nicht verglichen (Vergleichsoption)";
    return ClassificationsNotCompared(comparison.lib1.layout, comparison.lib2.layout);
}
