#include "dialog/difference_marks.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <string>
#include <unordered_map>

#include "dialog/symbol_list_model.h"

namespace {

QString Quoted(std::string_view bytes) {
    return QStringLiteral("„%1“").arg(FromWindows1252(bytes));
}

QString Number(std::int64_t n) {
    return QLocale(QLocale::German).toString(static_cast<qlonglong>(n));
}

}  // namespace

void MarkDifferences(const CompareResult& compared, SymbolListModel& common, SymbolListModel& only1,
                     SymbolListModel& only2) {
    // A name's row shows the pair of its last common slot, as a selection
    // does: for the names with a changed pair, the differences of that slot.
    std::unordered_map<std::string_view, std::uint8_t> lastDifferences;
    for (std::int32_t k : compared.changed) lastDifferences.emplace(commonTable.Symbol(k), 0);
    if (!lastDifferences.empty())
        for (std::size_t k = 0; k < compared.commonDifferences.size(); ++k)
            if (const auto name =
                    lastDifferences.find(commonTable.Symbol(static_cast<std::int64_t>(k)));
                name != lastDifferences.end())
                name->second = compared.commonDifferences[k];
    common.SetMarks(SymbolListModel::Mark::kChanged, [&lastDifferences](std::string_view name) {
        const auto found = lastDifferences.find(name);
        return found != lastDifferences.end() && found->second != 0 ? QStringLiteral("geändert")
                                                                    : QString();
    });

    const auto hint = [](SymbolListModel& list, const std::vector<NearMiss>& misses,
                         const QString& where) {
        std::unordered_map<std::string_view, std::string_view> counterpart;
        for (const NearMiss& miss : misses) counterpart.try_emplace(miss.name, miss.counterpart);
        list.SetMarks(SymbolListModel::Mark::kHint, [&](std::string_view name) {
            const auto found = counterpart.find(name);
            return found != counterpart.end() ? where.arg(Quoted(found->second)) : QString();
        });
    };
    const NearMissLists misses =
        NearMisses(lib1Table, compared.lib1Marks, lib2Table, compared.lib2Marks);
    hint(only1, misses.lib1, QStringLiteral("In Bibliothek 2 als %1"));
    hint(only2, misses.lib2, QStringLiteral("In Bibliothek 1 als %1"));
}

void MarkChangedFields(const CompareResult& compared, std::int64_t slot,
                       const std::array<QLineEdit*, 3>& fields) {
    const bool known =
        slot >= 0 && static_cast<std::size_t>(slot) < compared.commonDifferences.size();
    const std::uint8_t differences =
        known ? compared.commonDifferences[static_cast<std::size_t>(slot)] : 0;
    const SymbolEntry before =
        known ? lib1Table[compared.commonLib1Record[static_cast<std::size_t>(slot)]]
              : SymbolEntry{};
    const struct {
        std::uint8_t bit;
        std::string_view value;
    } shown[] = {{kDesignationDiffers, before.designation},
                 {kClassification1Differs, before.classification1},
                 {kClassification2Differs, before.classification2}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QLineEdit* field = fields[i];
        const bool changed = differences & shown[i].bit;
        const QString note =
            changed ? QStringLiteral("Bibliothek 1: %1").arg(Quoted(shown[i].value)) : QString();
        field->setToolTip(note);
        field->setAccessibleDescription(note);
        field->setProperty("changed", changed);
        QPalette palette = field->parentWidget()->palette();
        if (changed) palette.setColor(QPalette::Base, QColor(0xFF, 0xE8, 0xB0));
        field->setPalette(palette);
    }
}

QString ComparisonStatus(const QString& file1, const QString& file2, const CompareResult& compared,
                         int common, int only1, int only2) {
    const QString files =
        QStringLiteral("%1 ↔ %2").arg(file1.isEmpty() ? QStringLiteral("–") : ShownFileName(file1),
                                      file2.isEmpty() ? QStringLiteral("–") : ShownFileName(file2));
    if (compared.refused)
        return QStringLiteral("%1: nicht verglichen, %2 gemeinsame Einträge wären zu viele.")
            .arg(files, QString::fromStdString(GermanNumber(compared.pairs)));
    return QStringLiteral(
               "%1: %2 gemeinsam, davon %3 geändert · %4 nur in Bibliothek 1 · %5 nur in "
               "Bibliothek 2")
        .arg(files, Number(common), Number(static_cast<std::int64_t>(compared.changed.size())),
             Number(only1), Number(only2));
}

QString ShownFileName(const QString& path) {
    return QFileInfo(path).fileName().toUpper();
}
