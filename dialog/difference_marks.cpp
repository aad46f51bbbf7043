#include "dialog/difference_marks.h"

#include <QLineEdit>
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "dialog/symbol_list_model.h"
#include "report/messages.h"

void MarkDifferences(const Comparison& compared, SymbolListModel& common, SymbolListModel& only1,
                     SymbolListModel& only2) {
    // Each common row is one pair, in the order found: it carries the dot
    // exactly when its pair changed. Only the changed pairs are marked ahead;
    // a row's note is made when it is asked for, so that twenty million rows
    // of one name cost no note each. A name held more than once says so, and
    // that its fields are those of its last record.
    std::unordered_map<std::uint32_t, SymbolListModel::RowMark> marks;
    for (std::int32_t k : compared.changed)
        marks.emplace(static_cast<std::uint32_t>(k), SymbolListModel::RowMark{true, {}});
    // How many pairs each record is in, counted at the first note asked for.
    struct Counts {
        std::vector<std::int32_t> per1, per2;
    };
    const auto counts = std::make_shared<Counts>();
    common.SetNotes([&compared, counts](std::uint32_t source) {
        if (source >= compared.pairs.size()) return QString();
        if (counts->per1.empty()) {
            counts->per1.resize(static_cast<std::size_t>(compared.lib1.count) + 1);
            counts->per2.resize(static_cast<std::size_t>(compared.lib2.count) + 1);
            for (const MatchedPair& p : compared.pairs) {
                ++counts->per1[static_cast<std::size_t>(p.record1)];
                ++counts->per2[static_cast<std::size_t>(p.record2)];
            }
        }
        const MatchedPair& pair = compared.pairs[source];
        // A library-2 record matches each library-1 record of its name, and
        // the other way round.
        const std::int32_t times1 = counts->per2[static_cast<std::size_t>(pair.record2)];
        const std::int32_t times2 = counts->per1[static_cast<std::size_t>(pair.record1)];
        return QString::fromStdString(CommonRowNote(compared, pair, times1, times2));
    });
    common.SetMarks(SymbolListModel::Mark::kChanged, std::move(marks));

    // Row source k of an only-list is its library's k-th unmatched record;
    // they are in record order, as the near misses are.
    const auto hint = [](SymbolListModel& list, const std::vector<std::int32_t>& unmatched,
                         const std::vector<NearMiss>& misses, int other) {
        std::unordered_map<std::uint32_t, SymbolListModel::RowMark> marks;
        auto at = unmatched.begin();
        for (const NearMiss& miss : misses) {
            at = std::lower_bound(at, unmatched.end(), miss.record);
            if (at == unmatched.end() || *at != miss.record) continue;
            marks.emplace(static_cast<std::uint32_t>(at - unmatched.begin()),
                          SymbolListModel::RowMark{
                              true, QString::fromStdString(NearMissNote(other, miss.counterpart))});
        }
        list.SetMarks(SymbolListModel::Mark::kHint, std::move(marks));
    };
    const NearMissLists misses = NearMisses(compared);
    hint(only1, compared.only1, misses.lib1, 2);
    hint(only2, compared.only2, misses.lib2, 1);
}

void MarkChangedFields(const Comparison& compared, std::int64_t slot,
                       const std::array<QLineEdit*, 3>& fields) {
    const bool known = slot >= 0 && static_cast<std::size_t>(slot) < compared.pairs.size();
    const MatchedPair pair = known ? compared.pairs[static_cast<std::size_t>(slot)] : MatchedPair{};
    const std::uint8_t differences = pair.differences;
    const SymbolEntry before = known ? compared.Record1(pair) : SymbolEntry{};
    const SymbolEntry after = known ? compared.Record2(pair) : SymbolEntry{};
    const struct {
        std::uint8_t bit;
        std::string_view before, after;
    } shown[] = {{kDesignationDiffers, before.designation, after.designation},
                 {kClassification1Differs, before.classification1, after.classification1},
                 {kClassification2Differs, before.classification2, after.classification2}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QLineEdit* field = fields[i];
        const bool changed = differences & shown[i].bit;
        QString note, spoken;
        if (changed) {
            // Library 1's value, with the part that differs in bold.
            const DifferingPart part = FindDifferingPart(shown[i].before, shown[i].after);
            const ShownValue value = ShowValue(shown[i].before, part.start, part.endBefore);
            const auto html = [](const std::string& text) {
                return QString::fromStdString(text).toHtmlEscaped();
            };
            const QString differing = value.differing.empty()
                                          ? QString()
                                          : QStringLiteral("<b>%1</b>").arg(html(value.differing));
            note = QStringLiteral("<span style=\"white-space:pre\">%1</span>")
                       .arg(QString::fromStdString(Library1Value(
                           (html(value.head) + differing + html(value.tail)).toStdString())));
            spoken = QString::fromStdString(Library1ValueSpoken(
                value.Whole(), DifferenceInWords(shown[i].before, shown[i].after)));
        }
        field->setProperty("changeNote", note);
        field->setAccessibleDescription(spoken);
        field->setProperty("changed", changed);
        QPalette palette = field->parentWidget()->palette();
        if (changed) palette.setColor(QPalette::Base, QColor(0xFF, 0xE8, 0xB0));
        field->setPalette(palette);
    }
}
