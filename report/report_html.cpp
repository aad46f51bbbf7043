// The report as one HTML page for people, to read in a browser and to print
// on A4: its style inline, no script, nothing fetched from elsewhere.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"
#include "report/report_output.h"

namespace report_detail {

namespace {

// ---- HTML ------------------------------------------------------------------

// Print: A4, the header of a table again on every page, a changed symbol's
// rows kept together, long values broken anywhere rather than cut at the
// right edge. Blanks inside a value are kept (pre-wrap); an empty value says
// so in grey, as generated content that is not part of the value.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"de\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<style>\n"
    "@page { size: A4; margin: 15mm 12mm; }\n"
    "* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n"
    "html { font: 10pt/1.35 \"DejaVu Sans\", \"Segoe UI\", Arial, sans-serif; color: #111; }\n"
    "body { max-width: 64rem; margin: 1.5rem auto; padding: 0 1rem; }\n"
    "@media print { body { max-width: none; margin: 0; padding: 0; } }\n"
    "h1 { font-size: 16pt; margin: 0 0 .6em; }\n"
    "h2 { font-size: 12.5pt; margin: 1.4em 0 .4em; break-after: avoid; }\n"
    "dl { display: grid; grid-template-columns: max-content minmax(0, 1fr); "
    "gap: .2em 1em; margin: 0; }\n"
    "dt { font-weight: bold; }\n"
    "dd { margin: 0; overflow-wrap: anywhere; }\n"
    ".art { color: #555; }\n"
    "p { margin: .3em 0; }\n"
    ".hinweis { color: #555; }\n"
    "table { width: 100%; border-collapse: collapse; table-layout: fixed; font-size: 9pt; }\n"
    "thead { display: table-header-group; }\n"
    "tr, tbody { break-inside: avoid; }\n"
    "th, td { border: 1px solid #bbb; padding: .2em .4em; text-align: left; "
    "vertical-align: top; white-space: pre-wrap; overflow-wrap: anywhere; "
    "word-break: break-word; }\n"
    "th { background: #e6e6e6; }\n"
    "td:empty::after { content: \"(leer)\"; color: #888; font-style: italic; }\n"
    "mark { background: #ffd54f; color: inherit; font-weight: bold; }\n"
    "col.symbol { width: 20%; }\n"
    "col.feld { width: 17%; }\n"
    "col.wert { width: 31.5%; }\n"
    "col.name { width: 24%; }\n"
    "col.bezeichnung { width: 32%; }\n"
    "col.klasse { width: 22%; }\n"
    "col.einzig { width: 76%; }\n"
    "</style>\n";

// Appends UTF-8 `text` with the characters HTML gives a meaning escaped.
void AppendEscaped(std::string_view text, std::string& out) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

// Whether library bytes go into the page as they stand: printable ASCII that
// means nothing to HTML, with no blank at either end to show as ␣.
bool Plain(std::string_view bytes) {
    if (!bytes.empty() && (bytes.front() == ' ' || bytes.back() == ' ')) return false;
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"';
    });
}

// A path (meant as UTF-8) as page text: bytes that are no UTF-8 and the
// bidirectional controls as �, control characters as visible symbols
// (ValidUtf8), and the noncharacters (U+FDD0-U+FDEF, U+xFFFE, U+xFFFF), which
// no HTML page may hold, as � too.
std::string PathText(std::string_view path) {
    const std::string valid = ValidUtf8(path, true);
    std::string out;
    for (std::size_t at = 0; at < valid.size();) {
        const auto lead = static_cast<unsigned char>(valid[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(valid[at + i]) & 0x3F);
        if ((cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE)
            out += "\uFFFD";
        else
            AppendEscaped(std::string_view(valid).substr(at, length), out);
        at += length;
    }
    return out;
}

// A piece of the page made on a block's own Output.
class Page {
public:
    explicit Page(Output& out) : out_(out) {}

    void Text(std::string_view markup) { out_.Text(markup); }
    // A cell of library bytes, shown as ShowValue shows them (control
    // characters visibly, blanks at the ends as ␣), the part [start, end)
    // marked.
    void Value(std::string_view bytes, std::size_t start = 0, std::size_t end = 0) {
        out_.Text("<td>");
        Shown(bytes, start, end);
        out_.Text("</td>");
    }
    // The bytes alone, so shown.
    void Shown(std::string_view bytes, std::size_t start = 0, std::size_t end = 0) {
        if (start == end && Plain(bytes)) return out_.Text(bytes);
        const ShownValue shown = ShowValue(bytes, start, end);
        scratch_.clear();
        AppendEscaped(shown.head, scratch_);
        if (!shown.differing.empty()) {
            scratch_ += "<mark>";
            AppendEscaped(shown.differing, scratch_);
            scratch_ += "</mark>";
        }
        AppendEscaped(shown.tail, scratch_);
        out_.Text(scratch_);
    }

private:
    Output& out_;
    std::string scratch_;
};

// A table's columns and header row: (class of the column, heading).
using Columns = std::vector<std::pair<const char*, const char*>>;

void TableStart(Output& out, const char* kind, const Columns& columns) {
    out.Text("<table class=\"");
    out.Text(kind);
    out.Text("\">\n<colgroup>");
    for (const auto& column : columns) {
        out.Text("<col class=\"");
        out.Text(column.first);
        out.Text("\">");
    }
    out.Text("</colgroup>\n<thead><tr>");
    for (const auto& column : columns) {
        out.Text("<th scope=\"col\">");
        out.Text(column.second);
        out.Text("</th>");
    }
    out.Text("</tr></thead>\n");
}

void Heading(Output& out, std::string_view heading, std::size_t count) {
    out.Text("<h2>");
    out.Text(heading);
    out.Text(" (" + GermanNumber(count) + ")</h2>\n");
}

// `changed` (indices into c.pairs, sorted like the lists), one group of rows
// each: the symbol, then a row per changed field with both values, the part
// that differs marked.
void HtmlChanged(Output& out, const Comparison& c, const std::vector<std::int32_t>& changed) {
    Heading(out, "Geänderte Symbole", c.changed.size());
    if (!c.classificationsCompared)
        out.Text("<p class=\"hinweis\">" + OnlyDesignationsCompared(c) + "</p>\n");
    if (c.changed.empty()) return out.Text("<p>Keine.</p>\n");
    TableStart(out, "geaendert",
               {{"symbol", "Symbol"},
                {"feld", "Feld"},
                {"wert", "Bibliothek 1"},
                {"wert", "Bibliothek 2"}});
    InBlocks(out, changed.size(), [&](Output& block, std::size_t begin, std::size_t end) {
        Page page(block);
        for (std::size_t i = begin; i < end; ++i) {
            const MatchedPair& pair = c.pairs[static_cast<std::size_t>(changed[i])];
            const std::vector<ChangedField> fields = ChangedFields(c, pair);
            page.Text("<tbody><tr>");
            if (fields.size() > 1) {
                page.Text("<td rowspan=\"");
                page.Text(std::to_string(fields.size()));
                page.Text("\"");
            } else {
                page.Text("<td");
            }
            page.Text(">");
            page.Shown(c.lib2.table.Symbol(pair.record2));
            page.Text("</td>");
            bool first = true;
            for (const ChangedField& f : fields) {
                if (!first) page.Text("<tr>");
                first = false;
                page.Text("<td>");
                page.Text(f.label);
                page.Text("</td>");
                const DifferingPart part = FindDifferingPart(f.before, f.after);
                page.Value(f.before, part.start, part.endBefore);
                page.Value(f.after, part.start, part.endAfter);
                page.Text("</tr>\n");
            }
            page.Text("</tbody>\n");
        }
    });
    out.Text("</table>\n");
}

// `records` of one library that matched nothing (sorted like the lists),
// with their fields (the classifications where the library has them).
void HtmlOnly(Output& out, std::string_view heading, const ComparedLibrary& lib,
              const std::vector<std::int32_t>& records) {
    Heading(out, heading, records.size());
    if (records.empty()) return out.Text("<p>Keine.</p>\n");
    const bool classifications = lib.layout == LibraryLayout::kLong;
    if (classifications)
        TableStart(out, "einzeln",
                   {{"name", "Symbol"},
                    {"bezeichnung", "Bezeichnung"},
                    {"klasse", "Klassifizierung 1"},
                    {"klasse", "Klassifizierung 2"}});
    else
        TableStart(out, "einzeln", {{"name", "Symbol"}, {"einzig", "Bezeichnung"}});
    out.Text("<tbody>\n");
    InBlocks(out, records.size(), [&](Output& block, std::size_t begin, std::size_t end) {
        // The records lie all over the file in this order: a few at a time
        // are read first, without waiting for one before asking for the
        // next, and written while their bytes are still at hand.
        constexpr std::size_t kBatch = 32;
        SymbolEntry entries[kBatch];
        Page page(block);
        for (std::size_t from = begin; from < end; from += kBatch) {
            const std::size_t n = std::min(kBatch, end - from);
            for (std::size_t i = 0; i < n; ++i) entries[i] = lib.table[records[from + i]];
            for (std::size_t i = 0; i < n; ++i) {
                const SymbolEntry& e = entries[i];
                page.Text("<tr>");
                page.Value(e.symbol);
                page.Value(e.designation);
                if (classifications) {
                    page.Value(e.classification1);
                    page.Value(e.classification2);
                }
                page.Text("</tr>\n");
            }
        }
    });
    out.Text("</tbody>\n</table>\n");
}

// "Bibliothek 1" and "PATH (langes Format, 10 Symbole)", as a term and its
// description.
void HtmlLibrary(Output& out, int number, const std::string& path, const ComparedLibrary& lib) {
    out.Text("<dt>Bibliothek " + std::to_string(number) + "</dt><dd>" + PathText(path) +
             " <span class=\"art\">(" + LayoutName(lib.layout) + ", " +
             GermanNumber(static_cast<std::uint64_t>(lib.count)) +
             (lib.count == 1 ? " Symbol)" : " Symbole)") + "</span></dd>\n");
}

void Term(Output& out, std::string_view term, const std::string& description) {
    out.Text("<dt>");
    out.Text(term);
    out.Text("</dt><dd>");
    out.Text(description);
    out.Text("</dd>\n");
}

}  // namespace

// For people, as the text report: which file is which, what was found, the
// changed symbols as a table with the differing part of each value marked,
// the symbols in one library only; the unchanged common symbols only as a
// number. `c` is what is shown, `all` the whole comparison.
bool WriteHtml(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink) {
    Output out(sink);
    out.Text(kHead);
    out.Text("<title>Bibliotheksvergleich: " + PathText(sources.path1) + " – " +
             PathText(sources.path2) +
             "</title>\n</head>\n<body>\n<h1>Bibliotheksvergleich</h1>\n"
             "<dl>\n");
    HtmlLibrary(out, 1, sources.path1, c.lib1);
    HtmlLibrary(out, 2, sources.path2, c.lib2);
    Term(out, "Ergebnis", ComparisonCounts(all));
    if (c.options.Any())
        Term(out, ComparisonOptionText().title, ComparisonOptionsInWords(c.options));
    if (const ReportFilter& filter = sources.filter; filter.Active()) {
        std::string words;
        if (!filter.search.empty()) {
            std::string quoted;
            AppendQuoted(filter.search, quoted);
            words = "Suche ";
            AppendEscaped(quoted, words);
            if (filter.onlyChanged) words += ", ";
        }
        if (filter.onlyChanged) words += "nur geänderte";
        if (!filter.rows.empty()) {
            if (!words.empty()) words += ", ";
            AppendEscaped(filter.rows, words);
        }
        Term(out, "Filter", words);
        Term(out, "Gezeigt", ComparisonCounts(c));
    }
    out.Text("</dl>\n");
    // Sorted like the lists, library 2's on a thread of its own.
    std::vector<std::int32_t> changed = c.changed, only1 = c.only1, only2 = c.only2;
    // Records in record order, their names asked for a few ahead: they lie
    // apart in the file.
    const auto sortRecords = [](std::vector<std::int32_t>& records, const SymbolTable& table) {
        SortForDisplay(
            records, [&table](std::int32_t r) { return table.Symbol(r); },
            [&](std::size_t i) {
                table.PrefetchAhead(records, i);
                return DisplayKeyPrefixOf(table.Symbol(records[i]));
            });
    };
    BothAtOnce([&] { sortRecords(only2, c.lib2.table); },
               [&] {
                   SortForDisplay(changed, [&c](std::int32_t k) {
                       return c.lib2.table.Symbol(c.pairs[static_cast<std::size_t>(k)].record2);
                   });
                   sortRecords(only1, c.lib1.table);
               });
    HtmlChanged(out, c, changed);
    HtmlOnly(out, "Symbole nur in Bibliothek 1", c.lib1, only1);
    HtmlOnly(out, "Symbole nur in Bibliothek 2", c.lib2, only2);
    out.Text("<h2>Gemeinsame Symbole ohne Änderung (" +
             GermanNumber(c.pairs.size() - c.changed.size()) +
             ")</h2>\n<p class=\"hinweis\">Nur gezählt, nicht aufgeführt.</p>\n</body>\n</html>\n");
    return out.Finish();
}

}  // namespace report_detail
