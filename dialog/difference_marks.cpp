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
    // Each common row is one pair, in the order found: it carries the dot
    // exactly when its pair changed. A name held more than once says so, and
    // that its fields are those of its last record.
    const std::size_t pairs = compared.commonDifferences.size();
    std::vector<std::int32_t> per1(compared.lib1Marks.size()), per2(compared.lib2Marks.size());
    for (std::size_t k = 0; k < pairs; ++k) {
        ++per1[static_cast<std::size_t>(compared.commonLib1Record[k])];
        ++per2[static_cast<std::size_t>(compared.commonLib2Record[k])];
    }
    std::unordered_map<std::uint32_t, SymbolListModel::RowMark> marks;
    for (std::size_t k = 0; k < pairs; ++k) {
        // A library-2 record matches each library-1 record of its name, and
        // the other way round.
        const std::int32_t times1 = per2[static_cast<std::size_t>(compared.commonLib2Record[k])];
        const std::int32_t times2 = per1[static_cast<std::size_t>(compared.commonLib1Record[k])];
        const bool changed = compared.commonDifferences[k] != 0;
        if (!changed && times1 == 1 && times2 == 1) continue;
        QStringList note;
        if (changed) note << QStringLiteral("geändert");
        if (times1 > 1 || times2 > 1)
            note << QStringLiteral(
                        "%1× in Bibliothek 1, %2× in Bibliothek 2 – die Felder zeigen den letzten "
                        "Datensatz")
                        .arg(Number(times1), Number(times2));
        marks.emplace(static_cast<std::uint32_t>(k),
                      SymbolListModel::RowMark{changed, note.join(QStringLiteral("\n"))});
    }
    common.SetMarks(SymbolListModel::Mark::kChanged, std::move(marks));

    // The rows of an only-list are its library's unmatched records, in record
    // order.
    const auto hint = [](SymbolListModel& list, const SymbolTable& table,
                         const std::vector<std::int32_t>& recordMarks,
                         const std::vector<NearMiss>& misses, const QString& where) {
        std::unordered_map<std::string_view, std::string_view> counterpart;
        for (const NearMiss& miss : misses) counterpart.try_emplace(miss.name, miss.counterpart);
        std::unordered_map<std::uint32_t, SymbolListModel::RowMark> marks;
        std::uint32_t source = 0;
        if (!counterpart.empty())
            for (std::size_t r = 1; r < recordMarks.size(); ++r) {
                if (recordMarks[r] == kMatchMark) continue;
                const auto found = counterpart.find(table.Symbol(static_cast<std::int64_t>(r)));
                if (found != counterpart.end())
                    marks.emplace(source,
                                  SymbolListModel::RowMark{true, where.arg(Quoted(found->second))});
                ++source;
            }
        list.SetMarks(SymbolListModel::Mark::kHint, std::move(marks));
    };
    const NearMissLists misses =
        NearMisses(lib1Table, compared.lib1Marks, lib2Table, compared.lib2Marks);
    hint(only1, lib1Table, compared.lib1Marks, misses.lib1,
         QStringLiteral("In Bibliothek 2 als %1"));
    hint(only2, lib2Table, compared.lib2Marks, misses.lib2,
         QStringLiteral("In Bibliothek 1 als %1"));
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
