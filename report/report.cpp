#include "report/report.h"

// RAPIDJSON_SSE2 / RAPIDJSON_SSE42 stay undefined: the SIMD string scan of
// RapidJSON 1.1.0 lets the control bytes 0x1A-0x1F through unescaped.
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "library/text.h"

namespace {

// Records of one library that matched nothing, in record order.
std::vector<std::int32_t> Unmatched(const std::vector<std::int32_t>& marks) {
    std::vector<std::int32_t> records;
    for (std::size_t i = 1; i < marks.size(); ++i)
        if (marks[i] != kMatchMark) records.push_back(static_cast<std::int32_t>(i));
    return records;
}

// Output in pieces of kChunk bytes to a sink; remembers whether a write failed.
class Output {
public:
    using Ch = char;  // as a RapidJSON output stream
    static constexpr std::size_t kChunk = std::size_t{1} << 16;

    Output(const ReportSink& sink, bool forSpreadsheets = false)
        : sink_(sink), forSpreadsheets_(forSpreadsheets) {
        buffer_.reserve(kChunk + 256);
    }

    void Text(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kChunk) Drain();
    }
    void Put(char c) {
        buffer_.push_back(c);
        if (buffer_.size() >= kChunk) Drain();
    }
    void Flush() {}
    // For a terminal: control characters shown as visible symbols, so that a
    // name can neither break a line nor send escape sequences.
    void Visible1252(std::string_view bytes) {
        scratch_.clear();
        AppendWindows1252Visible(bytes, scratch_);
        Text(scratch_);
    }
    // One line: `indent`, then `bytes` as by Visible1252.
    void Line(std::string_view indent, std::string_view bytes) {
        scratch_.assign(indent);
        AppendWindows1252Visible(bytes, scratch_);
        scratch_ += '\n';
        Text(scratch_);
    }
    // The bytes decoded as UTF-8, quoted as RFC 4180 asks where they hold the
    // separator, a quote or a line break. For spreadsheets, a cell that a
    // spreadsheet would take for a formula gets a leading apostrophe.
    void CsvField(std::string_view bytes, char separator) {
        scratch_.clear();
        if (forSpreadsheets_ && !bytes.empty() &&
            std::string_view("=+-@\t\r").find(bytes.front()) != std::string_view::npos)
            scratch_ += '\'';
        AppendWindows1252AsUtf8(bytes, scratch_);
        const char special[] = {separator, '"', '\r', '\n', '\0'};
        if (scratch_.find_first_of(special) == std::string::npos) return Text(scratch_);
        std::string quoted = "\"";
        for (char ch : scratch_) {
            if (ch == '"') quoted += '"';
            quoted += ch;
        }
        quoted += '"';
        Text(quoted);
    }
    bool Finish() {
        Drain();
        return !failed_;
    }

private:
    void Drain() {
        if (!failed_ && !buffer_.empty() && !sink_(buffer_)) failed_ = true;
        buffer_.clear();
    }

    const ReportSink& sink_;
    bool forSpreadsheets_;
    std::string buffer_;
    std::string scratch_;
    bool failed_ = false;
};

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
    SortForDisplay(order, [&runs](std::uint32_t i) { return runs[i].first; });
    out.Text(heading);
    out.Text(" (" + std::to_string(rows) + ")\n");
    for (std::uint32_t i : order)
        for (std::int64_t n = 0; n < runs[i].second; ++n) out.Line("  ", runs[i].first);
    out.Text("\n");
}

void TextChanged(Output& out, const Comparison& c) {
    out.Text("Geänderte Symbole (" + std::to_string(c.result.changed.size()) + ")\n");
    if (!c.result.classificationsCompared) {
        const bool both =
            c.lib1.layout == LibraryLayout::kShort && c.lib2.layout == LibraryLayout::kShort;
        out.Text(both ? "  (Nur Bezeichnungen verglichen: beide Bibliotheken haben das kurze "
                        "Format ohne Klassifizierungen.)\n"
                 : c.lib1.layout == LibraryLayout::kShort
                     ? "  (Nur Bezeichnungen verglichen: Bibliothek 1 hat das kurze "
                       "Format ohne Klassifizierungen.)\n"
                     : "  (Nur Bezeichnungen verglichen: Bibliothek 2 hat das kurze "
                       "Format ohne Klassifizierungen.)\n");
    }
    for (std::int32_t k : c.result.changed) {
        const SymbolEntry before = c.lib1.table[c.result.commonLib1Record[k]];
        const SymbolEntry after = c.lib2.table[c.result.commonLib2Record[k]];
        out.Line("  ", after.symbol);
        const struct {
            std::uint8_t bit;
            std::string_view label, a, b;
        } fields[] = {{kDesignationDiffers, "Bezeichnung", before.designation, after.designation},
                      {kClassification1Differs, "Klassifizierung 1", before.classification1,
                       after.classification1},
                      {kClassification2Differs, "Klassifizierung 2", before.classification2,
                       after.classification2}};
        const std::uint8_t differences = c.result.commonDifferences[static_cast<std::size_t>(k)];
        for (const auto& f : fields) {
            if (!(differences & f.bit)) continue;
            out.Text("    ");
            out.Text(f.label);
            out.Text(": „");
            out.Visible1252(f.a);
            out.Text("“ → „");
            out.Visible1252(f.b);
            out.Text("“\n");
        }
    }
}

bool WriteText(const Comparison& c, const ReportSink& sink) {
    Output out(sink);
    std::vector<NameRun> runs;
    for (std::int32_t k = 0; k < c.commonCount; ++k) AddRun(runs, c.common.Symbol(k));
    TextList(out, "Gemeinsame Symbole", std::move(runs));
    for (const auto* lib : {&c.lib1, &c.lib2}) {
        runs.clear();
        const auto& marks = lib == &c.lib1 ? c.result.lib1Marks : c.result.lib2Marks;
        for (std::int32_t r : Unmatched(marks)) AddRun(runs, lib->table.Symbol(r));
        TextList(out,
                 lib == &c.lib1 ? "Symbole nur in Bibliothek 1" : "Symbole nur in Bibliothek 2",
                 std::move(runs));
        runs = {};
    }
    TextChanged(out, c);
    return out.Finish();
}

// ---- CSV (RFC 4180) --------------------------------------------------------

void CsvRow(Output& out, char separator, std::string_view list, const SymbolEntry& e) {
    out.Text(list);
    for (std::string_view field : {e.symbol, e.designation, e.classification1, e.classification2}) {
        out.Text(std::string_view(&separator, 1));
        out.CsvField(field, separator);
    }
    out.Text("\r\n");
}

// RFC 4180 with commas; for spreadsheets set to German, semicolons after a
// byte-order mark that tells them the text is UTF-8.
bool WriteCsv(const Comparison& c, const ReportSink& sink, bool forSpreadsheets) {
    Output out(sink, forSpreadsheets);
    const char separator = forSpreadsheets ? ';' : ',';
    if (forSpreadsheets) out.Text("\xEF\xBB\xBF");
    std::string header = "list,symbol,designation,classification1,classification2\r\n";
    std::replace(header.begin(), header.end(), ',', separator);
    out.Text(header);
    for (std::int32_t k = 0; k < c.commonCount; ++k) CsvRow(out, separator, "common", c.common[k]);
    for (std::int32_t r : Unmatched(c.result.lib1Marks))
        CsvRow(out, separator, "only1", c.lib1.table[r]);
    for (std::int32_t r : Unmatched(c.result.lib2Marks))
        CsvRow(out, separator, "only2", c.lib2.table[r]);
    return out.Finish();
}

// ---- JSON ------------------------------------------------------------------

// A RapidJSON writer with the helpers the report needs.
template <typename Stream>
class Json {
public:
    explicit Json(Stream& stream) : writer_(stream) {}

    // Keys are fixed ASCII names: written as they stand, without scanning them
    // for characters to escape.
    template <std::size_t N>
    void Key(const char (&key)[N]) {
        char quoted[N + 2];
        quoted[0] = '"';
        std::memcpy(quoted + 1, key, N - 1);
        quoted[N] = '"';
        writer_.RawValue(quoted, N + 1, rapidjson::kStringType);
    }
    void Utf8(std::string_view text) {
        writer_.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    }
    void Bytes(std::string_view bytes) {
        // Plain ASCII reads the same in both encodings: no copy needed.
        if (std::all_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            Utf8(bytes);
            return;
        }
        scratch_.clear();
        AppendWindows1252AsUtf8(bytes, scratch_);
        Utf8(scratch_);
    }
    void Fields(const SymbolEntry& e, bool withSymbol) {
        writer_.StartObject();
        if (withSymbol) {
            Key("symbol");
            Bytes(e.symbol);
        }
        Key("designation");
        Bytes(e.designation);
        Key("classification1");
        Bytes(e.classification1);
        Key("classification2");
        Bytes(e.classification2);
        writer_.EndObject();
    }
    void Library(const LoadedLibrary& lib) {
        writer_.StartObject();
        Key("path");
        Utf8(ValidUtf8(lib.path));
        Key("layout");
        Utf8(lib.layout == LibraryLayout::kLong ? "long" : "short");
        Key("records");
        writer_.Int(lib.count);
        writer_.EndObject();
    }
    rapidjson::Writer<Stream>& writer() { return writer_; }

private:
    rapidjson::Writer<Stream> writer_;
    std::string scratch_;
};

bool WriteJson(const Comparison& c, const ReportSink& sink) {
    Output stream(sink);
    Json<Output> json(stream);
    auto& w = json.writer();
    auto array = [&w](std::int64_t count, const auto& element) {
        w.StartArray();
        for (std::int64_t i = 0; i < count; ++i) element(i);
        w.EndArray();
    };
    const auto only1 = Unmatched(c.result.lib1Marks);
    const auto only2 = Unmatched(c.result.lib2Marks);
    const auto& changed = c.result.changed;

    w.StartObject();
    json.Key("library1");
    json.Library(c.lib1);
    json.Key("library2");
    json.Library(c.lib2);
    json.Key("classificationsCompared");
    w.Bool(c.result.classificationsCompared);
    json.Key("common");
    array(c.commonCount, [&](std::int64_t k) { json.Fields(c.common[k], true); });
    json.Key("only1");
    array(static_cast<std::int64_t>(only1.size()), [&](std::int64_t i) {
        json.Fields(c.lib1.table[only1[static_cast<std::size_t>(i)]], true);
    });
    json.Key("only2");
    array(static_cast<std::int64_t>(only2.size()), [&](std::int64_t i) {
        json.Fields(c.lib2.table[only2[static_cast<std::size_t>(i)]], true);
    });
    json.Key("changed");
    array(static_cast<std::int64_t>(changed.size()), [&](std::int64_t i) {
        const std::int32_t k = changed[static_cast<std::size_t>(i)];
        w.StartObject();
        json.Key("symbol");
        json.Bytes(c.common.Symbol(k));
        json.Key("library1");
        json.Fields(c.lib1.table[c.result.commonLib1Record[k]], false);
        json.Key("library2");
        json.Fields(c.lib2.table[c.result.commonLib2Record[k]], false);
        w.EndObject();
    });
    w.EndObject();
    stream.Put('\n');
    return stream.Finish();
}

}  // namespace

bool CompareFiles(const std::string& path1, const std::string& path2, Comparison& comparison,
                  std::string& error, const std::function<void(const std::string&)>& warn) {
    for (auto [path, library] : {std::pair{&path1, &comparison.lib1}, {&path2, &comparison.lib2}}) {
        library->path = *path;
        DiscardingSymbolList names;
        const ReadResult result =
            ReadLibraryFile(PathFromUtf8(*path), library->table, library->count, names,
                            [&](const ReadResult& read) {
                                if (read.Doubtful() && warn)
                                    warn(DoubtfulLibraryMessage(ValidUtf8(*path, true), read));
                                return true;
                            });
        if (!result) {
            error = result.message;
            return false;
        }
        library->layout = result.layout;
    }
    DiscardingSymbolList discard;
    comparison.result = CompareTables(
        comparison.lib1.table, comparison.lib1.count, comparison.lib2.table, comparison.lib2.count,
        comparison.common, comparison.commonCount, discard, discard, discard);
    if (comparison.result.refused) {
        error = TooManyPairsMessage(ValidUtf8(path1, true), ValidUtf8(path2, true),
                                    comparison.result.pairs);
        return false;
    }
    return true;
}

bool Comparison::HasDifferences() const {
    return !result.changed.empty() ||
           std::any_of(result.lib1Marks.begin() + (result.lib1Marks.empty() ? 0 : 1),
                       result.lib1Marks.end(), [](std::int32_t m) { return m != kMatchMark; }) ||
           std::any_of(result.lib2Marks.begin() + (result.lib2Marks.empty() ? 0 : 1),
                       result.lib2Marks.end(), [](std::int32_t m) { return m != kMatchMark; });
}

bool WriteReport(const Comparison& comparison, ReportFormat format, const ReportSink& sink) {
    switch (format) {
        case ReportFormat::kText:
            return WriteText(comparison, sink);
        case ReportFormat::kCsv:
            return WriteCsv(comparison, sink, false);
        case ReportFormat::kCsvExcel:
            return WriteCsv(comparison, sink, true);
        case ReportFormat::kJson:
            return WriteJson(comparison, sink);
    }
    return false;
}

bool WriteReport(const Comparison& comparison, ReportFormat format, std::FILE* out) {
    const ReportSink sink = [out](std::string_view bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    };
    return WriteReport(comparison, format, sink) && std::fflush(out) == 0 && !std::ferror(out);
}
