#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare.h"
#include "library/library_reader.h"

// The German sentences of the command-line tool and the dialog, composed from
// what the reader and the comparison report: one place for both. File names
// are given as they are to be shown (PathForMessage).

// Whether a file was being read or written when the system refused.
enum class FileAccess { kRead, kWrite };

// Why the system refused to open, read or write a file, from the C library's
// error number.
std::string SystemErrorText(int error, FileAccess access);

// Why the file `name` could not be read.
std::string ReadFailureMessage(const std::string& name, const ReadResult& result);

// The warning for a file that reads but does not look like a symbol library.
std::string DoubtfulLibraryMessage(const std::string& name, const ReadResult& result);

// The warning for a file of 0 bytes, compared as a library without symbols.
std::string EmptyFileMessage(const std::string& name);

// There was not enough memory to read and compare the file `name`, or to
// compare `name1` with `name2`: "Nicht genug Arbeitsspeicher, um „a.1“ zu
// vergleichen." (ReadFailureMessage says the same for kOutOfMemory.)
std::string OutOfMemoryMessage(const std::string& name);
std::string OutOfMemoryMessage(const std::string& name1, const std::string& name2);

// The file `name` changed while it was compared: what was made of it is void.
std::string ChangedMeanwhileMessage(const std::string& name);

// A comparison of the files `name1` and `name2` refused for its `pairs`.
std::string TooManyPairsMessage(const std::string& name1, const std::string& name2,
                                std::uint64_t pairs);

// ---- libcompare-cli's command line -----------------------------------------

// What is wrong with the command line.
enum class ArgumentProblem {
    kFormatWithoutValue,  // --format, --format= or -f with nothing after it
    kFormatRepeated,
    kUnknownOption,
    kUnknownFormat,
    kNotTwoFiles,
    kNotUnderstood,       // anything else the parser refused
    kListWithoutFile,     // --list and no library
    kListWithComparison,  // --list and a second library or --format
};
// `given` is the option or the format at fault as it is to be shown, or the
// parser's own words for kNotUnderstood.
std::string ArgumentProblemMessage(ArgumentProblem problem, const std::string& given);

// The words of `libcompare-cli --help`.
struct CliHelpWords {
    const char* description;
    const char* footer;
    const char* optionsGroup;
    const char* help;
    const char* version;
    const char* format;
    const char* library1;
    const char* library2;
    // The parser's headings.
    const char* usage;
    const char* options;
    const char* positionals;
    const char* required;
};
const CliHelpWords& CliHelp();

// Standard output could not be written, for the C library's error number.
std::string StandardOutputFailureMessage(int error);

// `message` as a warning, the run going on: "Warnung: …".
std::string WarningMessage(const std::string& message);

// `number` with German digit grouping: 16.000.000.
std::string GermanNumber(std::uint64_t number);

// What a comparison found, in one line: "6 gemeinsam, davon 2 geändert ·
// 4 nur in Bibliothek 1 · 4 nur in Bibliothek 2".
std::string ComparisonCounts(const Comparison& comparison);

// A library's layout in words: "langes Format" or "kurzes Format".
std::string LayoutName(LibraryLayout layout);

// A field of a changed pair that changed: its German label and library 1's
// and library 2's values (raw bytes).
struct ChangedField {
    const char* label;  // "Bezeichnung", "Klassifizierung 1", "Klassifizierung 2"
    std::string_view before;
    std::string_view after;
};
std::vector<ChangedField> ChangedFields(const Comparison& comparison, const MatchedPair& pair);

// ---- the review in the dialog ----------------------------------------------

// The part of two values that differs: what lies between their longest common
// start and their longest common end (which do not overlap). `start` is where
// it begins in both; it ends at `endBefore` in `before` and `endAfter` in
// `after`.
struct DifferingPart {
    std::size_t start = 0;
    std::size_t endBefore = 0;
    std::size_t endAfter = 0;
};
DifferingPart FindDifferingPart(std::string_view before, std::string_view after);

// A value (Windows-1252 bytes) as UTF-8 to be shown in three pieces: before
// [start, end), that range, and after it. Control characters are shown as
// visible symbols, and blanks at the very start or end of the value as ␣,
// so that a trailing blank can be seen.
struct ShownValue {
    std::string head;
    std::string differing;
    std::string tail;
    std::string Whole() const { return head + differing + tail; }
};
ShownValue ShowValue(std::string_view value, std::size_t start, std::size_t end);

// What differs between two values, in words for a screen reader:
// "Leerzeichen am Ende", "nur Groß- und Kleinschreibung", "„3“ → „4“".
std::string DifferenceInWords(std::string_view before, std::string_view after);

// A changed pair's changed fields in one line, each value shown as by
// ShowValue: "Bezeichnung: „alt“ → „neu“ (Unterschied: „alt“ → „neu“); …".
std::string ChangeDescription(const Comparison& comparison, const MatchedPair& pair);

// Where stepping from change to change stands: "Änderung 17 von 286"; at the
// last (`forward`) or first change, what the next press does.
std::string StepPosition(int index, int count);
std::string StepAtEnd(bool forward);
// No changed symbol among the shown common rows.
std::string NoChangeShown();

// Why classifications were not compared, from the two layouts:
// "Klassifizierungen nicht verglichen (Bibliothek 2 im kurzen Format)".
std::string ClassificationsNotCompared(LibraryLayout layout1, LibraryLayout layout2);

// After an export: "Exportiert: vergleich.txt (286 Änderungen, 20.015 Zeilen)".
std::string ExportedMessage(const std::string& name, std::uint64_t changes, std::uint64_t lines);
// Why there is nothing to export: no comparison shown, or the last one was
// refused.
std::string NothingToExport(bool refused);
// The name an export proposes for the libraries `name1` and `name2` (their
// file names without the extension): "ALT – NEU".
std::string ExportName(const std::string& name1, const std::string& name2);

// While a file is read: "Lese „ALT.1“ …".
std::string ReadingMessage(const std::string& name);
// After F5 at `time` ("14:03:12"): whether the counts stayed as they were,
// or what they were before (`before`, as ComparisonCounts words them).
std::string ReloadedMessage(const std::string& time, const std::string& before, bool same);

// ---- the dialog's status line and messages ---------------------------------
// File names are given as the dialog shows them.

// At start: what to do first.
std::string FirstSteps();
// After "1ste Bibliothek Einlesen" was cancelled: the lists are empty.
std::string ListsEmptied();
// Library 1 read: its number of symbols, and with which library 2 a cancelled
// chooser compares it (empty: none read yet).
std::string Library1Read(const std::string& name, std::uint64_t symbols,
                         const std::string& library2);
// Library 1 could not be read: nothing changed.
std::string NothingChanged(const std::string& name);
// Two files given, the first not read: neither was compared.
std::string NothingCompared(const std::string& name1, const std::string& name2);
// Library 2 could not be read; the comparison ran on the tables as they are.
std::string NotRead(const std::string& name);
// F5 could not read the files again.
std::string ReloadImpossible();
// More than two files given: those not opened.
std::string NotOpened(const std::string& names);
// The status line after a comparison: the counts, why classifications were
// not compared where they were not, the two files' names ("–": none).
std::string ComparisonStatus(const std::string& name1, const std::string& name2,
                             const Comparison& comparison);
// What a common row says beyond its name: what changed, and how often a name
// held more than once is in each library (`times1`, `times2`), one per line.
std::string CommonRowNote(const Comparison& comparison, const MatchedPair& pair,
                          std::int64_t times1, std::int64_t times2);
// A name only in one library whose counterpart (bytes as the library holds
// them) differs only in case or blanks in library `library`:
// "In Bibliothek 2 als „motor “".
std::string NearMissNote(int library, std::string_view counterpart);
// Library 1's value of a changed field, given as it is to be shown (in markup
// where the caller shows markup): "Bibliothek 1: „alt“"; and as read out,
// with the difference in words.
std::string Library1Value(const std::string& shownValue);
std::string Library1ValueSpoken(const std::string& value, const std::string& difference);

// The words of the dialog's controls beyond the template.
struct DialogWords {
    const char* listTip;            // the three lists
    const char* searchName;         // the search field, as read out
    const char* searchPlaceholder;  // what it shows while empty
    const char* searchTip;
    const char* onlyChanged;  // the check box, with its access key
    const char* onlyChangedTip;
    const char* previousChange;  // the step buttons, as read out
    const char* nextChange;
    const char* exportCommand;  // in the lists' menus
    const char* exportTip;      // while a comparison is shown
    const char* exportTitle;    // the export's file chooser
    const char* copy;
    const char* copyAllNames;
    const char* differences;  // opens the window "Unterschiede", with its access key
    const char* differencesTip;
    const char* takeInto2;  // the commands that take differences over
    const char* takeInto1;
    const char* removeFrom2;
    const char* removeFrom1;
    const char* save1;  // per library
    const char* save2;
    const char* saveAs1;
    const char* saveAs2;
    const char* saveButton;  // the answers to the question before changes are lost
    const char* discardButton;
    const char* cancelButton;
    const char* modified;  // after a path whose library holds unsaved changes
    const char* options;   // opens the comparison options
};
const DialogWords& DialogText();
// A control's tooltip: what it does and its key ("Nächste Änderung (Alt+↓)").
std::string WithKey(const std::string& what, const std::string& key);

// What a step of taking over did, for undo and redo: "Bezeichnung von
// „Schütz“ übernehmen", "„Schütz“ übernehmen", "„Motor“ in Bibliothek 2
// einfügen", "„Motor“ aus Bibliothek 1 entfernen", "3 Unterschiede
// übernehmen". `symbol` as the library holds it; `field` a FieldDifference
// bit, 0 for every changed field; `library` the target.
enum class TakeStep { kField, kSymbol, kAdd, kRemove, kSeveral };
std::string TakeStepName(TakeStep step, std::string_view symbol, std::uint8_t field, int library,
                         std::uint64_t count);
// The menu entries: "Rückgängig: …", "Wiederholen: …"; without a step just
// "Rückgängig", "Wiederholen".
std::string UndoCommand(const std::string& step);
std::string RedoCommand(const std::string& step);
// Asked before unsaved changes to the library `name` would be lost.
std::string SaveQuestion(const std::string& name);
// After saving: "Gespeichert: NEU.1 (die vorige Fassung als NEU.1.bak)".
std::string SavedMessage(const std::string& name, const std::string& backup);
// The window "Unterschiede" before a comparison.
std::string NoComparisonToList();
// A take-over command with nothing selected that it could take.
std::string NothingToTake();
// Why a take-over is not offered for the selected symbol, held more than once.
std::string NotTakenTip(std::string_view name, std::int32_t times1, std::int32_t times2);

// The counts of what a filter shows: "Gezeigt: 3 von 7 gemeinsam (nur
// geänderte) · 0 von 1 nur in Bibliothek 1 · 1 von 1 nur in Bibliothek 2".
struct ShownCount {
    std::uint64_t shown = 0;
    std::uint64_t total = 0;
};
std::string ShownCounts(ShownCount common, bool onlyChanged, ShownCount only1, ShownCount only2);
// The question after a doubtful file's warning.
std::string ReadAnyway();
// A comparison refused for its `pairs`, in the status line.
std::string RefusedInShort(std::uint64_t pairs);
// Writing the export to `name` failed for `reason` (empty: unknown).
std::string ExportFailed(const std::string& name, const std::string& reason);

// ---- libcompare-cli --list -------------------------------------------------

// The help of --list.
const char* ListOptionHelp();
// The file `name` changed while it was listed: what was written of it is void.
std::string ChangedWhileListedMessage(const std::string& name);
// There was not enough memory to list the file `name`.
std::string ListOutOfMemoryMessage(const std::string& name);

// ---- the window of differences ---------------------------------------------

// The kinds of difference, as the window "Unterschiede" lists them.
enum class DifferenceKind : std::uint8_t { kChanged, kOnly1, kOnly2 };
// "geändert", "nur in Bibliothek 1", "nur in Bibliothek 2".
std::string DifferenceKindName(DifferenceKind kind);
// The rows of the window "Unterschiede" an export holds, as its filter
// words them: "Tabelle „Unterschiede“: nur in Bibliothek 1, Bezeichnung,
// Suche „relais“, nur ungeprüfte" (`search` UTF-8).
std::string ChosenRowsInWords(const std::optional<DifferenceKind>& kind, std::uint8_t field,
                              const std::string& search, bool onlyUnchecked);
// The label of a changed field (one FieldDifference bit): "Bezeichnung", …
std::string FieldName(std::uint8_t field);
// The window's title, its columns (0 to 5: "Art", "Symbol", "Feld",
// "Bibliothek 1", "Bibliothek 2", "Geprüft") and the words of its controls.
struct DifferenceWindowWords {
    const char* title;
    const char* kindLabel;  // before the combo box of kinds, with its access key
    const char* allKinds;
    const char* fieldLabel;
    const char* allFields;
    const char* searchName;
    const char* searchPlaceholder;
    const char* onlyUnchecked;  // the check box, with its access key
    const char* onlyUncheckedTip;
    const char* tableTip;
    const char* checkedSign;  // in the column "Geprüft"
};
const DifferenceWindowWords& DifferenceWindowText();
std::string DifferenceColumnName(int column);
// A record only in one library: the names of the fields it shows and their
// values in one line ("Bezeichnung · Klassifizierung 1 · Klassifizierung 2"
// and "Motor 3 kW · K1 · G"), the classifications only where the library has
// them; values shown as by ShowValue.
std::string RecordFieldNames(bool classifications);
std::string RecordInOneLine(const SymbolEntry& record, bool classifications);
// One row of the window as read out: "geändert, Schütz, Bezeichnung:
// „… 3-polig“ → „… 4-polig“, nicht geprüft"; a record only in one library
// with all its fields.
std::string ChangedFieldSentence(std::string_view symbol, const ChangedField& field, bool checked);
std::string OnlyRecordSentence(DifferenceKind kind, const SymbolEntry& record, bool classifications,
                               bool checked);
// The window's status line: which of the rows shown is selected (0: none),
// how many are shown of how many, how many are checked:
// "Unterschied 17 von 40 · gezeigt: 40 von 586 · 120 von 586 geprüft".
std::string DifferenceStatus(std::uint64_t position, std::uint64_t shown, std::uint64_t total,
                             std::uint64_t checked);
// Stepping past the last (`forward`) or first row shown.
std::string DifferenceStepAtEnd(bool forward);

// ---- the reports -------------------------------------------------------------

// Why only designations were compared, as a sentence: "Nur Bezeichnungen
// verglichen: Bibliothek 2 hat das kurze Format ohne Klassifizierungen."
std::string OnlyDesignationsCompared(const Comparison& comparison);

// ---- libcompare-cli --take -------------------------------------------------
// Library 2 written with differences from library 1 taken over.

#include "library/library_writer.h"

// The help of --take and --output.
const char* TakeOptionHelp();
const char* OutputOptionHelp();

// What is wrong with the command line of a take-over.
enum class TakeArgumentProblem {
    kTakeWithoutValue,    // --take or --take= with nothing after it
    kOutputWithoutValue,  // --output or --output=
    kTakeRepeated,
    kOutputRepeated,
    kUnknownKind,        // a kind that is none of changed, added, removed: `given`
    kWithoutOutput,      // --take without --output
    kOutputWithoutTake,  // --output without --take
    kWithList,           // --take or --output with --list
    kWithFormat,         // --take with --format: it writes no report
};
std::string TakeArgumentMessage(TakeArgumentProblem problem, const std::string& given);

// A library field's name: "Symbol", "Bezeichnung", "Klassifizierung 1", …
std::string LibraryFieldName(LibraryField field);

// Why the changes could not be made in the library `name`: the symbol, the
// field and the reason; nothing was written.
std::string TakeRefusedMessage(const std::string& name, const ChangeRefusal& refusal);

// Saving the library `name` failed at the step `outcome` names.
std::string SaveFailedMessage(const std::string& name, const SaveOutcome& outcome);

// A name not taken over because a library holds it more than once:
// "„Relais“ steht 2-mal in Bibliothek 1 und 1-mal in Bibliothek 2: nicht übernommen."
// (`name` as the library holds it).
std::string HeldMoreThanOnceMessage(std::string_view name, std::int32_t times1,
                                    std::int32_t times2);

// Classifications were left behind: the library `name` has the short layout.
std::string ClassificationsNotTakenMessage(const std::string& name);

// What was written to `name`: how many symbols were changed, added and
// removed, and the name of the backup kept (empty: none).
std::string TakenOverMessage(const std::string& name, std::uint64_t changed, std::uint64_t added,
                             std::uint64_t removed, const std::string& backup);

// ---- comparison options ----------------------------------------------------

// The comparison options by name, for the reports, the CLI's help and the
// dialog.
struct ComparisonOptionWords {
    const char* title;                  // "Vergleichsoptionen"
    const char* ignoreCase;             // "Groß-/Kleinschreibung der Felder ignorieren"
    const char* ignoreBlanks;           // "Leerzeichen am Rand ignorieren"
    const char* ignoreClassifications;  // "Klassifizierungen nicht vergleichen"
    // The help of libcompare-cli's --ignore-case, --ignore-blanks and
    // --ignore-classifications.
    const char* ignoreCaseHelp;
    const char* ignoreBlanksHelp;
    const char* ignoreClassificationsHelp;
};
const ComparisonOptionWords& ComparisonOptionText();
// The options set, by name, separated by commas ("Groß-/Kleinschreibung der
// Felder ignorieren, Leerzeichen am Rand ignorieren"); empty for none.
std::string ComparisonOptionsInWords(const ComparisonOptions& options);
// Why classifications were not compared: the option, or else the layouts
// (ClassificationsNotCompared).
std::string ClassificationsNotCompared(const Comparison& comparison);
