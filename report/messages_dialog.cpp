// The German sentences of the dialog and of its window "Unterschiede" (the
// declarations are in messages.h, with all the others).

#include <algorithm>
#include <string>
#include <vector>

#include "library/text.h"
#include "report/messages.h"

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
