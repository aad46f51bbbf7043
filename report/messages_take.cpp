// The German sentences of taking differences over and of writing a library
// (the declarations are in messages.h, with all the others).

#include <algorithm>
#include <string>
#include <vector>

#include "library/text.h"
#include "report/messages.h"

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
    if (outcome.systemError != 0) {
        message += ' ';
        message += SystemErrorText(outcome.systemError, FileAccess::kWrite);
    }
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
