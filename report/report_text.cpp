// The report as text for people.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "library/prefetch.h"
#include "report/messages.h"
#include "report/report_output.h"

namespace report_detail {

namespace {

// ---- text ------------------------------------------------------------------

// A name and how many rows in a row it stands for.
using NameRun = std::pair<std::string_view, std::int64_t>;

// Appends `name` to `runs`, as one more row of the last run if it is that name.
void AddRun(std::vector<NameRun>& runs, std::string_view name) {
    if (!runs.empty() && runs.back().first == name)
        ++runs.back().second;
    else
        runs.emplace_back(name, 1);
}

// Sorts the runs, not the rows: a name held m times in library 1 and n times
// in library 2 gives m × n rows but only n runs, so that the report needs no
// more memory than the others at the bound of common entries.
void TextList(Output& out, std::string_view heading, std::vector<NameRun> runs) {
    std::int64_t rows = 0;
    std::vector<std::uint32_t> order(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        order[i] = static_cast<std::uint32_t>(i);
        rows += runs[i].second;
    }
    // The names lie all over the files unless these were in order: the key
    // of the run a few ahead is asked for before it is worked out.
    SortForDisplay(
        order, [&runs](std::uint32_t i) { return runs[i].first; },
        [&runs, &order](std::size_t i) {
            if (i + kPrefetchAhead < order.size())
                Prefetch(runs[order[i + kPrefetchAhead]].first.data());
            return DisplayKeyPrefixOf(runs[order[i]].first);
        });
    out.Text(heading);
    out.Text(" (" + GermanNumber(static_cast<std::uint64_t>(rows)) + ")\n");
    // Blocks of rows, not of runs, so that a block stays small however many
    // rows a run stands for: the rows before each run, in display order.
    std::vector<std::int64_t> before(order.size() + 1, 0);
    for (std::size_t k = 0; k < order.size(); ++k)
        before[k + 1] = before[k] + runs[order[k]].second;
    InBlocks(
        out, static_cast<std::size_t>(rows),
        [&](Output& block, std::size_t begin, std::size_t end) {
            auto k = static_cast<std::size_t>(
                std::upper_bound(before.begin(), before.end(), static_cast<std::int64_t>(begin)) -
                before.begin() - 1);
            // Names out of order lie all over the file: the run a few names
            // ahead and, once that is at hand, its name are asked for before
            // they are needed, so that their reads overlap.
            constexpr std::size_t kAhead = 16;
            for (auto row = static_cast<std::int64_t>(begin); row < static_cast<std::int64_t>(end);
                 ++k) {
                if (k + 2 * kAhead < order.size()) Prefetch(&runs[order[k + 2 * kAhead]]);
                if (k + kAhead < order.size()) Prefetch(runs[order[k + kAhead]].first.data());
                const std::int64_t last = std::min(before[k + 1], static_cast<std::int64_t>(end));
                for (; row < last; ++row) block.Line("  ", runs[order[k]].first);
            }
        });
    out.Text("\n");
}

void TextChanged(Output& out, const Comparison& c) {
    out.Text("Geänderte Symbole (" + GermanNumber(c.changed.size()) + ")\n");
    if (!c.classificationsCompared) out.Text("  (" + OnlyDesignationsCompared(c) + ")\n");
    // Sorted like the lists; pairs of one name in the order found.
    std::vector<std::int32_t> changed = c.changed;
    SortForDisplay(changed, [&c](std::int32_t k) {
        return c.lib2.table.Symbol(c.pairs[static_cast<std::size_t>(k)].record2);
    });
    InBlocks(out, changed.size(), [&](Output& block, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const MatchedPair& pair = c.pairs[static_cast<std::size_t>(changed[i])];
            block.Line("  ", c.lib2.table.Symbol(pair.record2));
            for (const ChangedField& f : ChangedFields(c, pair)) {
                block.Text("    ");
                block.Text(f.label);
                block.Text(": ");
                block.Quoted(f.before);
                block.Text(" → ");
                block.Quoted(f.after);
                block.Text("\n");
            }
        }
    });
    out.Text("\n");
}

// "Bibliothek 1: PATH (langes Format, 10 Symbole)"
void TextLibrary(Output& out, int number, const std::string& path, const ComparedLibrary& lib) {
    out.Text("Bibliothek " + std::to_string(number) + ": " + ValidUtf8(path, true) + " (" +
             LayoutName(lib.layout) + ", " + GermanNumber(static_cast<std::uint64_t>(lib.count)) +
             (lib.count == 1 ? " Symbol)\n" : " Symbole)\n"));
}

}  // namespace

// For people: which file is which, what was found, what changed, what is in
// one library only, and last what both hold. `c` is what is shown, `all` the
// whole comparison: with a filter, a line says which, and one more what it
// shows.
bool WriteText(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink) {
    Output out(sink);
    TextLibrary(out, 1, sources.path1, c.lib1);
    TextLibrary(out, 2, sources.path2, c.lib2);
    out.Text(ComparisonCounts(all) + "\n");
    // "Vergleichsoptionen: Leerzeichen am Rand ignorieren", only with options.
    if (c.options.Any())
        out.Text(std::string(ComparisonOptionText().title) + ": " +
                 ComparisonOptionsInWords(c.options) + "\n");
    if (const ReportFilter& filter = sources.filter; filter.Active()) {
        // "Filter: Suche „relais“, nur geänderte"
        std::string line = "Filter: ";
        if (!filter.search.empty()) {
            line += "Suche ";
            AppendQuoted(filter.search, line);
            if (filter.onlyChanged) line += ", ";
        }
        if (filter.onlyChanged) line += "nur geänderte";
        if (!filter.rows.empty())
            line += (filter.search.empty() && !filter.onlyChanged ? "" : ", ") + filter.rows;
        out.Text(line + "\nGezeigt: " + ComparisonCounts(c) + "\n");
    }
    out.Text("\n");
    TextChanged(out, c);
    std::vector<NameRun> runs;
    for (const auto* lib : {&c.lib1, &c.lib2}) {
        const std::vector<std::int32_t>& only = lib == &c.lib1 ? c.only1 : c.only2;
        for (std::size_t i = 0; i < only.size(); ++i) {
            lib->table.PrefetchAhead(only, i);
            AddRun(runs, lib->table.Symbol(only[i]));
        }
        TextList(out,
                 lib == &c.lib1 ? "Symbole nur in Bibliothek 1" : "Symbole nur in Bibliothek 2",
                 std::move(runs));
        runs = {};
    }
    for (std::size_t k = 0; k < c.pairs.size(); ++k) {
        if (k + kPrefetchAhead < c.pairs.size())
            c.lib2.table.Prefetch(c.pairs[k + kPrefetchAhead].record2);
        AddRun(runs, c.lib2.table.Symbol(c.pairs[k].record2));
    }
    TextList(out, "Gemeinsame Symbole", std::move(runs));
    return out.Finish();
}

}  // namespace report_detail
