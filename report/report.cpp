#include "report/report.h"

#include <tuple>
#include <vector>

#include "library/text.h"
#include "report/report_output.h"

using report_detail::WriteCsv;
using report_detail::WriteHtml;
using report_detail::WriteJson;
using report_detail::WriteText;

namespace {

// ---- filter ----------------------------------------------------------------

// What `filter` leaves of `c`, as the dialog's lists show it: the names that
// contain the search text, ignoring case and accents, and of the common ones
// only the changed pairs when asked. Copies no names, only the pairs and
// record numbers shown.
Comparison Shown(const Comparison& c, const ReportFilter& filter) {
    Comparison shown;
    shown.lib1 = c.lib1;
    shown.lib2 = c.lib2;
    shown.options = c.options;
    shown.classificationsCompared = c.classificationsCompared;
    shown.refused = c.refused;
    shown.pairCount = c.pairCount;
    const std::string folded = FoldForSearch(filter.search);
    for (const MatchedPair& pair : c.pairs) {
        if (filter.onlyChanged && pair.differences == 0) continue;
        if (!ContainsFolded(c.lib2.table.Symbol(pair.record2), folded)) continue;
        if (pair.differences != 0)
            shown.changed.push_back(static_cast<std::int32_t>(shown.pairs.size()));
        shown.pairs.push_back(pair);
    }
    for (const auto& [lib, only, kept] :
         {std::tuple{&c.lib1, &c.only1, &shown.only1}, std::tuple{&c.lib2, &c.only2, &shown.only2}})
        for (std::int32_t r : *only)
            if (ContainsFolded(lib->table.Symbol(r), folded)) kept->push_back(r);
    return shown;
}

bool Write(const Comparison& shown, const Comparison& all, const ReportSources& sources,
           ReportFormat format, const ReportSink& sink) {
    switch (format) {
        case ReportFormat::kText:
            return WriteText(shown, all, sources, sink);
        case ReportFormat::kCsv:
            return WriteCsv(shown, sink, false);
        case ReportFormat::kCsvExcel:
            return WriteCsv(shown, sink, true);
        case ReportFormat::kJson:
            return WriteJson(shown, all, sources, sink);
        case ReportFormat::kHtml:
            return WriteHtml(shown, all, sources, sink);
    }
    return false;
}

}  // namespace

bool WriteReport(const Comparison& comparison, const ReportSources& sources, ReportFormat format,
                 const ReportSink& sink) {
    if (sources.chosenFrom) return Write(comparison, *sources.chosenFrom, sources, format, sink);
    if (!sources.filter.Active()) return Write(comparison, comparison, sources, format, sink);
    return Write(Shown(comparison, sources.filter), comparison, sources, format, sink);
}
