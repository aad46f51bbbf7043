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

// ---- the dialog's status line and messages ---------------------------------

std::string FirstSteps() {
    return "Zuerst „1ste Bibliothek Einlesen“, dann „2te Bibliothek Einlesen und Vergleichen“.";
}

std::string ListsEmptied() {
    return "Die Listen sind leer. „2te Bibliothek Einlesen und Vergleichen“ vergleicht erneut.";
}

std::string Library1Read(const std::string& name, std::uint64_t symbols,
                         const std::string& library2) {
    return name + ": " + GermanNumber(symbols) +
           " Symbole eingelesen. „2te Bibliothek Einlesen und Vergleichen“ vergleicht sie" +
           (library2.empty() ? "" : " (Abbrechen im Dateidialog: mit " + library2 + ")") + ".";
}

std::string NothingChanged(const std::string& name) {
    return "Nichts geändert: " + name + " wurde nicht eingelesen.";
}

std::string NothingCompared(const std::string& name1, const std::string& name2) {
    return "Nichts verglichen: " + name1 + " wurde nicht eingelesen, darum auch " + name2 +
           " nicht.";
}

std::string NotRead(const std::string& name) {
    return "Nicht eingelesen: " + name + ".";
}

std::string ReloadImpossible() {
    return "Nichts geändert: Neu einlesen nicht möglich.";
}

std::string NotOpened(const std::string& names) {
    return "Höchstens zwei Bibliotheken; nicht geöffnet: " + names + ".";
}

std::string ComparisonStatus(const std::string& name1, const std::string& name2,
                             const Comparison& comparison) {
    // The counts first, the files last: on a narrow window what is cut off
    // is the names, which the path fields show too.
    const std::string files = (name1.empty() ? "–" : name1) + " ↔ " + (name2.empty() ? "–" : name2);
    if (comparison.refused) return RefusedInShort(comparison.pairCount) + " · " + files;
    std::string status = ComparisonCounts(comparison);
    // Empty classification fields would look like deleted values.
    if (!comparison.classificationsCompared)
        status += " · " + ClassificationsNotCompared(comparison);
    // What the options make equal is no change: said where the counts are.
    ComparisonOptions others = comparison.options;
    others.ignoreClassifications = false;  // said just before
    if (others.Any()) status += " · " + ComparisonOptionsInWords(others);
    return status + " · " + files;
}

std::string CommonRowNote(const Comparison& comparison, const MatchedPair& pair,
                          std::int64_t times1, std::int64_t times2) {
    std::string note;
    // What changed, so that a screen reader says it where the focus lands.
    if (pair.differences != 0) note = "geändert: " + ChangeDescription(comparison, pair);
    if (times1 > 1 || times2 > 1) {
        if (!note.empty()) note += '\n';
        note += GermanNumber(static_cast<std::uint64_t>(times1)) + "× in Bibliothek 1, " +
                GermanNumber(static_cast<std::uint64_t>(times2)) +
                "× in Bibliothek 2 – die Felder zeigen den letzten Datensatz";
    }
    return note;
}

std::string NearMissNote(int library, std::string_view counterpart) {
    return "In Bibliothek " + std::to_string(library) + " als „" + Windows1252ToUtf8(counterpart) +
           "“";
}

std::string Library1Value(const std::string& shownValue) {
    return "Bibliothek 1: „" + shownValue + "“";
}

std::string Library1ValueSpoken(const std::string& value, const std::string& difference) {
    return Library1Value(value) + " (Unterschied: " + difference + ")";
}

const DialogWords& DialogText() {
    static const DialogWords words{
        "Einen Namen tippen, um zu ihm zu springen. Alt+↓ und Alt+↑: nächste und vorige "
        "Änderung.",
        "Suche",
        "Suchen (Strg+F)",
        "Zeigt in allen drei Listen nur die Namen, die diesen Text enthalten (Groß- und "
        "Kleinschreibung und Akzente zählen nicht). Strg+F: ins Suchfeld; Escape: Suche leeren.",
        "Nur &geänderte",
        "Zeigt unter „Gemeinsame Symbole“ nur die geänderten (Alt+G).",
        "Vorherige Änderung",
        "Nächste Änderung",
        "Vergleich exportieren …",
        "Schreibt den Vergleich, wie ihn die Listen zeigen (Strg+E).",
        "Vergleich exportieren",
        "Kopieren",
        "Alle Namen kopieren",
        "&Unterschiede …",
        "Zeigt jeden Unterschied in einer Tabelle: alt neben neu, sortier- und filterbar, zum "
        "Abhaken (Strg+U).",
        "In Bibliothek 2 übernehmen",
        "In Bibliothek 1 übernehmen",
        "Aus Bibliothek 2 entfernen",
        "Aus Bibliothek 1 entfernen",
        "Bibliothek 1 speichern",
        "Bibliothek 2 speichern",
        "Bibliothek 1 speichern unter …",
        "Bibliothek 2 speichern unter …",
        "Speichern",
        "Verwerfen",
        "Abbrechen",
        "(geändert)",
        "Vergleichsoptionen …",
    };
    return words;
}

std::string WithKey(const std::string& what, const std::string& key) {
    return what + " (" + key + ")";
}

std::string TakeStepName(TakeStep step, std::string_view symbol, std::uint8_t field, int library,
                         std::uint64_t count) {
    const std::string name = "„" + Windows1252ToUtf8(symbol) + "“";
    const std::string where = "Bibliothek " + std::to_string(library);
    switch (step) {
        case TakeStep::kField:
            return FieldName(field) + " von " + name + " übernehmen";
        case TakeStep::kSymbol:
            return name + " übernehmen";
        case TakeStep::kAdd:
            return name + " in " + where + " einfügen";
        case TakeStep::kRemove:
            return name + " aus " + where + " entfernen";
        case TakeStep::kSeveral:
            break;
    }
    return GermanNumber(count) + " Unterschiede übernehmen";
}

std::string UndoCommand(const std::string& step) {
    return step.empty() ? "Rückgängig" : "Rückgängig: " + step;
}

std::string RedoCommand(const std::string& step) {
    return step.empty() ? "Wiederholen" : "Wiederholen: " + step;
}

std::string SaveQuestion(const std::string& name) {
    return "Änderungen an „" + name + "“ speichern?";
}

std::string SavedMessage(const std::string& name, const std::string& backup) {
    return "Gespeichert: " + name +
           (backup.empty() ? std::string() : " (die vorige Fassung als " + backup + ")");
}

std::string ChosenRowsInWords(const std::optional<DifferenceKind>& kind, std::uint8_t field,
                              const std::string& search, bool onlyUnchecked) {
    std::vector<std::string> parts;
    if (kind) parts.push_back(DifferenceKindName(*kind));
    if (field != 0) parts.push_back(FieldName(field));
    if (!search.empty()) parts.push_back("Suche „" + search + "“");
    if (onlyUnchecked) parts.push_back("nur ungeprüfte");
    std::string words = "Tabelle „Unterschiede“";
    for (std::size_t i = 0; i < parts.size(); ++i) words += (i == 0 ? ": " : ", ") + parts[i];
    return words;
}

std::string NoComparisonToList() {
    return "Noch kein Vergleich: beide Bibliotheken einlesen, dann stehen hier ihre Unterschiede";
}

std::string NothingToTake() {
    return "Nichts zu übernehmen: bitte einen geänderten Eintrag oder ein Symbol nur einer "
           "Bibliothek wählen";
}

std::string NotTakenTip(std::string_view name, std::int32_t times1, std::int32_t times2) {
    return "„" + Windows1252ToUtf8(name) + "“ steht " +
           GermanNumber(static_cast<std::uint64_t>(times1)) + "-mal in Bibliothek 1 und " +
           GermanNumber(static_cast<std::uint64_t>(times2)) +
           "-mal in Bibliothek 2: welcher Datensatz welchen Wert bekommt, entscheiden Sie im "
           "Bibliothekseditor.";
}

std::string ShownCounts(ShownCount common, bool onlyChanged, ShownCount only1, ShownCount only2) {
    const auto of = [](ShownCount count) {
        return GermanNumber(count.shown) + " von " + GermanNumber(count.total);
    };
    return "Gezeigt: " + of(common) + " gemeinsam" + (onlyChanged ? " (nur geänderte)" : "") +
           " · " + of(only1) + " nur in Bibliothek 1 · " + of(only2) + " nur in Bibliothek 2";
}

std::string ReadAnyway() {
    return "Trotzdem einlesen?";
}

std::string RefusedInShort(std::uint64_t pairs) {
    return "Nicht verglichen: " + GermanNumber(pairs) + " gemeinsame Einträge wären zu viele";
}

std::string ExportFailed(const std::string& name, const std::string& reason) {
    return "„" + name + "“ kann nicht geschrieben werden: " +
           (reason.empty() ? std::string("Schreiben nicht möglich.") : reason);
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

// ---- the window of differences ---------------------------------------------

std::string DifferenceKindName(DifferenceKind kind) {
    switch (kind) {
        case DifferenceKind::kChanged:
            return "geändert";
        case DifferenceKind::kOnly1:
            return "nur in Bibliothek 1";
        case DifferenceKind::kOnly2:
            break;
    }
    return "nur in Bibliothek 2";
}

std::string FieldName(std::uint8_t field) {
    switch (field) {
        case kDesignationDiffers:
            return "Bezeichnung";
        case kClassification1Differs:
            return "Klassifizierung 1";
        case kClassification2Differs:
            return "Klassifizierung 2";
    }
    return {};
}

const DifferenceWindowWords& DifferenceWindowText() {
    static const DifferenceWindowWords words = {
        .title = "Unterschiede",
        .kindLabel = "&Art:",
        .allKinds = "alle",
        .fieldLabel = "&Feld:",
        .allFields = "alle",
        .searchName = "Suche",
        .searchPlaceholder = "Suchen in allen Spalten (Strg+F)",
        .onlyUnchecked = "Nur &ungeprüfte",
        .onlyUncheckedTip = "Zeigt nur die Unterschiede, die noch nicht als geprüft markiert sind.",
        .tableTip =
            "Leertaste: geprüft / ungeprüft. Alt+↓ und Alt+↑: nächster und voriger Unterschied. "
            "Strg+C kopiert die ausgewählten Zeilen.",
        .checkedSign = "✓",
    };
    return words;
}

std::string DifferenceColumnName(int column) {
    static const char* const names[] = {"Art",          "Symbol",       "Feld",
                                        "Bibliothek 1", "Bibliothek 2", "Geprüft"};
    return column >= 0 && column < 6 ? names[column] : "";
}

std::string RecordFieldNames(bool classifications) {
    return classifications ? "Bezeichnung · Klassifizierung 1 · Klassifizierung 2" : "Bezeichnung";
}

namespace {

std::string Shown(std::string_view value) {
    return ShowValue(value, 0, 0).Whole();
}

}  // namespace

std::string RecordInOneLine(const SymbolEntry& record, bool classifications) {
    std::string line = Shown(record.designation);
    if (classifications)
        line += " · " + Shown(record.classification1) + " · " + Shown(record.classification2);
    return line;
}

std::string ChangedFieldSentence(std::string_view symbol, const ChangedField& field, bool checked) {
    return DifferenceKindName(DifferenceKind::kChanged) + ", " + Shown(symbol) + ", " +
           field.label + ": „" + Shown(field.before) + "“ → „" + Shown(field.after) + "“, " +
           (checked ? "geprüft" : "nicht geprüft");
}

std::string OnlyRecordSentence(DifferenceKind kind, const SymbolEntry& record, bool classifications,
                               bool checked) {
    std::string sentence = DifferenceKindName(kind) + ", " + Shown(record.symbol) +
                           ", Bezeichnung: „" + Shown(record.designation) + "“";
    if (classifications)
        sentence += ", Klassifizierung 1: „" + Shown(record.classification1) +
                    "“, Klassifizierung 2: „" + Shown(record.classification2) + "“";
    return sentence + ", " + (checked ? "geprüft" : "nicht geprüft");
}

std::string DifferenceStatus(std::uint64_t position, std::uint64_t shown, std::uint64_t total,
                             std::uint64_t checked) {
    std::string status;
    if (position > 0)
        status = "Unterschied " + GermanNumber(position) + " von " + GermanNumber(shown) + " · ";
    return status + "gezeigt: " + GermanNumber(shown) + " von " + GermanNumber(total) + " · " +
           GermanNumber(checked) + " von " + GermanNumber(total) + " geprüft";
}

std::string DifferenceStepAtEnd(bool forward) {
    return forward ? "Letzter Unterschied – Alt+↓ beginnt wieder beim ersten"
                   : "Erster Unterschied – Alt+↑ beginnt wieder beim letzten";
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

// ---- libcompare-cli --take -------------------------------------------------

const char* TakeOptionHelp() {
    return "Schreibt statt eines Berichts Bibliothek 2 mit den Unterschieden aus Bibliothek 1 "
           "nach --output. ARTEN, durch Kommas getrennt: changed (geänderte Felder), added "
           "(Symbole nur in Bibliothek 1 werden hinzugefügt), removed (Symbole nur in "
           "Bibliothek 2 werden entfernt).";
}

const char* OutputOptionHelp() {
    return "Die Datei, in die --take schreibt; darf Bibliothek 2 selbst sein (die vorige "
           "Fassung bleibt als DATEI.bak).";
}

std::string TakeArgumentMessage(TakeArgumentProblem problem, const std::string& given) {
    switch (problem) {
        case TakeArgumentProblem::kTakeWithoutValue:
            return "Der Option --take fehlen die Arten (changed, added, removed; siehe --help).";
        case TakeArgumentProblem::kOutputWithoutValue:
            return "Der Option --output fehlt die Datei (siehe --help).";
        case TakeArgumentProblem::kTakeRepeated:
            return "Die Option --take ist mehrfach angegeben (siehe --help).";
        case TakeArgumentProblem::kOutputRepeated:
            return "Die Option --output ist mehrfach angegeben (siehe --help).";
        case TakeArgumentProblem::kUnknownKind:
            return "Unbekannte Art „" + given +
                   "“ für --take (erlaubt: changed, added, removed, durch Kommas getrennt).";
        case TakeArgumentProblem::kWithoutOutput:
            return "Die Option --take braucht --output, die Datei, in die sie schreibt "
                   "(siehe --help).";
        case TakeArgumentProblem::kOutputWithoutTake:
            return "Die Option --output gilt nur mit --take (siehe --help).";
        case TakeArgumentProblem::kWithList:
            return "Die Optionen --take und --output gehen nicht mit --list (siehe --help).";
        case TakeArgumentProblem::kWithFormat:
            return "Die Option --take schreibt eine Bibliothek, keinen Bericht: ohne --format "
                   "(siehe --help).";
    }
    return {};
}

std::string LibraryFieldName(LibraryField field) {
    switch (field) {
        case LibraryField::kSymbol:
            return "Symbol";
        case LibraryField::kDesignation:
            return "Bezeichnung";
        case LibraryField::kClassification1:
            return "Klassifizierung 1";
        case LibraryField::kClassification2:
            return "Klassifizierung 2";
    }
    return {};
}

std::string TakeRefusedMessage(const std::string& name, const ChangeRefusal& refusal) {
    const std::string field = LibraryFieldName(refusal.field);
    std::string reason;
    switch (refusal.problem) {
        case ChangeProblem::kNone:
            return {};
        case ChangeProblem::kForbiddenByte:
            reason = field +
                     " enthält ein Nullbyte oder einen Zeilenumbruch, die eine Bibliothek "
                     "nicht speichern kann.";
            break;
        case ChangeProblem::kDoesNotFit:
            reason = refusal.field == LibraryField::kSymbol ||
                             refusal.field == LibraryField::kDesignation
                         ? field + " ist zu lang für einen Datensatz dieser Bibliothek."
                         : field +
                               " passt nicht mehr in den Datensatz: Die vier Felder dürfen "
                               "zusammen höchstens 140 Bytes lang sein.";
            break;
        case ChangeProblem::kNoClassifications:
            reason = field +
                     " kann dort nicht gespeichert werden: Die Bibliothek hat das kurze "
                     "Format ohne Klassifizierungen.";
            break;
        case ChangeProblem::kReadsOtherwise:
            reason =
                "Ein Feld dieses Datensatzes reicht über sein Ende hinaus; nach der Änderung "
                "läse sich " +
                field + " anders.";
            break;
        case ChangeProblem::kNotAsRead:
        case ChangeProblem::kNoSuchRecord:
        case ChangeProblem::kRecordTwice:
            reason = "Die Änderungen passen nicht zur gelesenen Bibliothek (interner Fehler).";
            break;
    }
    const std::string symbol = refusal.symbol.empty()
                                   ? std::string()
                                   : "„" + ShowValue(refusal.symbol, 0, 0).Whole() + "“: ";
    return "„" + name + "“ wurde nicht geschrieben. " + symbol + reason;
}

std::string SaveFailedMessage(const std::string& name, const SaveOutcome& outcome) {
    std::string step;
    switch (outcome.step) {
        case SaveOutcome::Step::kSaved:
            return {};
        case SaveOutcome::Step::kCreateTemporary:
            step = "Die vorläufige Datei daneben lässt sich nicht anlegen.";
            break;
        case SaveOutcome::Step::kWriteTemporary:
            step = "Die vorläufige Datei daneben lässt sich nicht ganz schreiben.";
            break;
        case SaveOutcome::Step::kVerify:
            step =
                "Die vorläufige Datei daneben liest sich nicht so zurück, wie sie geschrieben "
                "wurde.";
            break;
        case SaveOutcome::Step::kKeepBackup:
            step = "Die bisherige Datei lässt sich nicht als „" + name + ".bak“ sichern.";
            break;
        case SaveOutcome::Step::kReplace:
            step = "Die neue Fassung kann die bisherige Datei nicht ersetzen.";
            break;
    }
    std::string message =
        "„" + name + "“ wurde nicht geschrieben (eine vorhandene Datei bleibt, wie sie war). " +
        step;
    if (outcome.systemError != 0)
        message += " " + SystemErrorText(outcome.systemError, FileAccess::kWrite);
    return message;
}

std::string HeldMoreThanOnceMessage(std::string_view name, std::int32_t times1,
                                    std::int32_t times2) {
    return "„" + ShowValue(name, 0, 0).Whole() + "“ steht " + std::to_string(times1) +
           "-mal in Bibliothek 1 und " + std::to_string(times2) +
           "-mal in Bibliothek 2: nicht übernommen.";
}

std::string ClassificationsNotTakenMessage(const std::string& name) {
    return "Klassifizierungen nicht übernommen: „" + name +
           "“ hat das kurze Format, das keine Klassifizierungen speichern kann.";
}

std::string TakenOverMessage(const std::string& name, std::uint64_t changed, std::uint64_t added,
                             std::uint64_t removed, const std::string& backup) {
    std::string message = "„" + name + "“ geschrieben: " + GermanNumber(changed) + " geändert, " +
                          GermanNumber(added) + " hinzugefügt, " + GermanNumber(removed) +
                          " entfernt.";
    if (!backup.empty()) message += " Die vorige Fassung liegt in „" + backup + "“.";
    return message;
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
