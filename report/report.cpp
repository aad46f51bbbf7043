#include "report/report.h"

// RAPIDJSON_SSE2 / RAPIDJSON_SSE42 stay undefined: the SIMD string scan of
// RapidJSON 1.1.0 lets the control bytes 0x1A-0x1F through unescaped.
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <tuple>
#include <vector>

#include "library/text.h"
#include "library/two_threads.h"
#include "report/messages.h"

namespace {

// The quotes the text report sets around a value, as Windows-1252 bytes.
constexpr char kOpeningQuote = '\x84';  // „
constexpr char kClosingQuote = '\x93';  // “
bool IsQuote(char c) {
    return c == kOpeningQuote || c == kClosingQuote;
}

// `bytes` in „…“, shown as AppendWindows1252Visible shows them, with each „
// and “ inside doubled (as RFC 4180 doubles its quote): the designation
// `alt“ – „neu` reads „alt““ – „„neu“, never as two values.
void AppendQuoted(std::string_view bytes, std::string& out) {
    out += "„";
    std::size_t from = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (!IsQuote(bytes[at])) continue;
        AppendWindows1252Visible(bytes.substr(from, at + 1 - from), out);
        from = at;  // and the quote once more
    }
    AppendWindows1252Visible(bytes.substr(from), out);
    out += "“";
}

// Output in pieces of kChunk bytes to a sink; remembers whether a write failed.
class Output {
public:
    using Ch = char;  // as a RapidJSON output stream
    static constexpr std::size_t kChunk = std::size_t{1} << 16;

    Output(const ReportSink& sink, bool forSpreadsheets = false)
        : sink_(&sink), forSpreadsheets_(forSpreadsheets) {
        Room(kChunk + 256);
    }
    // An output that keeps everything, for Kept().
    explicit Output(bool forSpreadsheets)
        : forSpreadsheets_(forSpreadsheets), limit_(static_cast<std::size_t>(-1)) {}
    std::string_view Kept() const { return {buffer_.get(), size_}; }
    void Clear() { size_ = 0; }
    bool ForSpreadsheets() const { return forSpreadsheets_; }

    void Text(std::string_view text) {
        Room(text.size());
        char* to = buffer_.get() + size_;
        if (text.size() <= 16) {  // most pieces are a few bytes: no call for them
            for (char c : text) *to++ = c;
        } else {
            std::memcpy(to, text.data(), text.size());
        }
        size_ += text.size();
        if (size_ >= limit_) Drain();
    }
    void Put(char c) {
        Room(1);
        buffer_[size_++] = c;
        if (size_ >= limit_) Drain();
    }
    // As RapidJSON's own buffers: room for `count` characters, then that
    // many put without a look at the size.
    void Reserve(std::size_t count) { Room(count); }
    void PutUnsafe(char c) { buffer_[size_++] = c; }
    // Bytes made elsewhere, passed on as they are.
    void Pass(std::string_view bytes) {
        if (bytes.size() < kChunk) return Text(bytes);
        Drain();
        if (!failed_ && !(*sink_)(bytes)) failed_ = true;
    }
    void Flush() {}
    // For a terminal: a value in „…“ (AppendQuoted), its control characters
    // shown as visible symbols, so that it can neither break a line nor send
    // escape sequences.
    void Quoted(std::string_view bytes) {
        scratch_.clear();
        AppendQuoted(bytes, scratch_);
        Text(scratch_);
    }
    // One line: `indent`, then the name `bytes` with its control characters
    // shown visibly; in „…“ (AppendQuoted) a name that begins or ends with a
    // blank, so that it cannot be taken for the indentation, and a name that
    // holds „ or “, so that it cannot be taken for a quoted one.
    void Line(std::string_view indent, std::string_view bytes) {
        scratch_.assign(indent);
        const auto blank = [](char c) { return c == ' ' || c == '\xA0'; };
        if (!bytes.empty() && (blank(bytes.front()) || blank(bytes.back()) ||
                               std::any_of(bytes.begin(), bytes.end(), IsQuote)))
            AppendQuoted(bytes, scratch_);
        else
            AppendWindows1252Visible(bytes, scratch_);
        scratch_ += '\n';
        Text(scratch_);
    }
    // The bytes decoded as UTF-8, quoted as RFC 4180 asks where they hold the
    // separator, a quote or a line break. For spreadsheets, a cell that a
    // spreadsheet would take for a formula gets a leading apostrophe.
    void CsvField(std::string_view bytes, char separator) {
        const bool formula =
            forSpreadsheets_ && !bytes.empty() &&
            std::string_view("=+-@\t\r").find(bytes.front()) != std::string_view::npos;
        const auto special = [separator](char c) {
            return c == separator || c == '"' || c == '\r' || c == '\n';
        };
        // Plain ASCII with nothing to quote, the usual case, goes across as it is.
        if (!formula && std::all_of(bytes.begin(), bytes.end(), [&special](char c) {
                return static_cast<unsigned char>(c) < 0x80 && !special(c);
            }))
            return Text(bytes);
        scratch_.clear();
        if (formula) scratch_ += '\'';
        AppendWindows1252AsUtf8(bytes, scratch_);
        if (std::none_of(scratch_.begin(), scratch_.end(), special)) return Text(scratch_);
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
        if (!sink_) return;  // keeps everything
        if (!failed_ && size_ > 0 && !(*sink_)(Kept())) failed_ = true;
        size_ = 0;
    }
    void Room(std::size_t count) {
        if (capacity_ - size_ < count) Grow(count);
    }
    [[gnu::noinline]] void Grow(std::size_t count) {
        capacity_ = std::max({capacity_ * 2, size_ + count, std::size_t{4096}});
        auto grown = std::make_unique_for_overwrite<char[]>(capacity_);
        if (size_ > 0) std::memcpy(grown.get(), buffer_.get(), size_);
        buffer_ = std::move(grown);
    }

    const ReportSink* sink_ = nullptr;
    bool forSpreadsheets_;
    std::size_t limit_ = kChunk;  // drained to the sink from this size on
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::string scratch_;
    bool failed_ = false;
};

}  // namespace

// RapidJSON writes a string after reserving room for it.
namespace rapidjson {
template <>
inline void PutReserve(Output& stream, std::size_t count) {
    stream.Reserve(count);
}
template <>
inline void PutUnsafe(Output& stream, char c) {
    stream.PutUnsafe(c);
}
}  // namespace rapidjson

namespace {

// Writes items 0 to count - 1 in order, `format(block, begin, end)` writing
// items begin to end - 1 to the Output `block`. Blocks of items are made two
// at a time, on two threads, and go out in order.
template <typename Format>
void InBlocks(Output& out, std::size_t count, const Format& format) {
    // Sixteen blocks or more, of some thousands of items: few starts of a
    // thread, little memory.
    const std::size_t block = std::clamp<std::size_t>(count / 16, 1024, 65536);
    if (count <= block) return format(out, 0, count);
    Output made[2] = {Output(out.ForSpreadsheets()), Output(out.ForSpreadsheets())};
    const auto make = [&](int half, std::size_t begin, std::size_t end) {
        made[half].Clear();
        if (begin < end) format(made[half], begin, end);
    };
    for (std::size_t begin = 0; begin < count; begin += 2 * block) {
        const std::size_t middle = std::min(count, begin + block);
        const std::size_t end = std::min(count, middle + block);
        BothAtOnce([&] { make(0, begin, middle); }, [&] { make(1, middle, end); });
        out.Pass(made[0].Kept());
        out.Pass(made[1].Kept());
    }
}

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
    out.Text(" (" + GermanNumber(static_cast<std::uint64_t>(rows)) + ")\n");
    // Blocks of rows, not of runs, so that a block stays small however many
    // rows a run stands for: the rows before each run, in display order.
    std::vector<std::int64_t> before(order.size() + 1, 0);
    for (std::size_t k = 0; k < order.size(); ++k)
        before[k + 1] = before[k] + runs[order[k]].second;
    InBlocks(out, static_cast<std::size_t>(rows),
             [&](Output& block, std::size_t begin, std::size_t end) {
                 auto k =
                     static_cast<std::size_t>(std::upper_bound(before.begin(), before.end(),
                                                               static_cast<std::int64_t>(begin)) -
                                              before.begin() - 1);
                 for (auto row = static_cast<std::int64_t>(begin);
                      row < static_cast<std::int64_t>(end); ++row) {
                     while (row >= before[k + 1]) ++k;
                     block.Line("  ", runs[order[k]].first);
                 }
             });
    out.Text("\n");
}

void TextChanged(Output& out, const Comparison& c) {
    out.Text("Geänderte Symbole (" + GermanNumber(c.changed.size()) + ")\n");
    if (!c.classificationsCompared) {
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
    if (const ReportFilter& filter = sources.filter; filter.Active()) {
        // "Filter: Suche „relais“, nur geänderte"
        std::string line = "Filter: ";
        if (!filter.search.empty()) {
            line += "Suche ";
            AppendQuoted(filter.search, line);
            if (filter.onlyChanged) line += ", ";
        }
        if (filter.onlyChanged) line += "nur geänderte";
        out.Text(line + "\nGezeigt: " + ComparisonCounts(c) + "\n");
    }
    out.Text("\n");
    TextChanged(out, c);
    std::vector<NameRun> runs;
    for (const auto* lib : {&c.lib1, &c.lib2}) {
        for (std::int32_t r : lib == &c.lib1 ? c.only1 : c.only2)
            AddRun(runs, lib->table.Symbol(r));
        TextList(out,
                 lib == &c.lib1 ? "Symbole nur in Bibliothek 1" : "Symbole nur in Bibliothek 2",
                 std::move(runs));
        runs = {};
    }
    for (const MatchedPair& pair : c.pairs) AddRun(runs, c.lib2.table.Symbol(pair.record2));
    TextList(out, "Gemeinsame Symbole", std::move(runs));
    return out.Finish();
}

// ---- CSV (RFC 4180) --------------------------------------------------------

// The columns and list names: for scripts in English, for spreadsheets in
// German.
struct CsvWords {
    char separator;
    const char* header;
    const char* common;
    const char* only1;
    const char* only2;
    const char* changed;
    const char* unchanged;
    // The fields that changed, by their FieldDifference bits; neither list
    // needs quoting in its own CSV.
    const char* changedFields[8];
};
constexpr CsvWords kCsvWords{
    ',',
    "list,symbol,designation,classification1,classification2,changed,"
    "library1_designation,library1_classification1,"
    "library1_classification2,changed_fields\r\n",
    "common",
    "only1",
    "only2",
    "1",
    "0",
    {"", "designation", "classification1", "designation;classification1", "classification2",
     "designation;classification2", "classification1;classification2",
     "designation;classification1;classification2"}};
constexpr CsvWords kSpreadsheetWords{
    ';',
    "Liste;Symbol;Bezeichnung;Klassifizierung 1;Klassifizierung 2;Geändert;Bezeichnung "
    "Bibliothek 1;Klassifizierung 1 Bibliothek 1;Klassifizierung 2 Bibliothek 1;Geänderte "
    "Felder\r\n",
    "gemeinsam",
    "nur in Bibliothek 1",
    "nur in Bibliothek 2",
    "ja",
    "nein",
    {"", "Bezeichnung", "Klassifizierung 1", "Bezeichnung, Klassifizierung 1", "Klassifizierung 2",
     "Bezeichnung, Klassifizierung 2", "Klassifizierung 1, Klassifizierung 2",
     "Bezeichnung, Klassifizierung 1, Klassifizierung 2"}};

// One row: the list, the four fields, then for a common row whether its pair
// changed, library 1's three values (`before`) and which fields changed
// (`differences`); empty on the other lists.
void CsvRow(Output& out, const CsvWords& words, std::string_view list, const SymbolEntry& e,
            const char* changed = nullptr, const SymbolEntry& before = {},
            std::uint8_t differences = 0) {
    const std::string_view separator(&words.separator, 1);
    out.Text(list);
    for (std::string_view field : {e.symbol, e.designation, e.classification1, e.classification2}) {
        out.Text(separator);
        out.CsvField(field, words.separator);
    }
    out.Text(separator);
    if (changed) out.Text(changed);
    for (std::string_view field :
         {before.designation, before.classification1, before.classification2}) {
        out.Text(separator);
        out.CsvField(field, words.separator);
    }
    out.Text(separator);
    out.Text(words.changedFields[differences & 7]);
    out.Text("\r\n");
}

// RFC 4180 with commas; for spreadsheets set to German, semicolons after a
// byte-order mark that tells them the text is UTF-8.
bool WriteCsv(const Comparison& c, const ReportSink& sink, bool forSpreadsheets) {
    Output out(sink, forSpreadsheets);
    const CsvWords& words = forSpreadsheets ? kSpreadsheetWords : kCsvWords;
    if (forSpreadsheets) out.Text("\xEF\xBB\xBF");
    out.Text(words.header);
    InBlocks(out, c.pairs.size(), [&](Output& block, std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            const MatchedPair& pair = c.pairs[k];
            CsvRow(block, words, words.common, c.Record2(pair),
                   pair.differences != 0 ? words.changed : words.unchanged, c.Record1(pair),
                   pair.differences);
        }
    });
    const auto onlyRows = [&](const char* list, const ComparedLibrary& lib,
                              const std::vector<std::int32_t>& only) {
        InBlocks(out, only.size(), [&](Output& block, std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                CsvRow(block, words, list, lib.table[only[i]]);
        });
    };
    onlyRows(words.only1, c.lib1, c.only1);
    onlyRows(words.only2, c.lib2, c.only2);
    return out.Finish();
}

// ---- JSON ------------------------------------------------------------------

// A RapidJSON writer that also takes a key that needs no escaping in one
// piece (RawValue would put it a character at a time); the writer still sets
// the commas and colons around it. A report holds eight keys a symbol.
template <typename Stream>
class KeyWriter : public rapidjson::Writer<Stream> {
public:
    using rapidjson::Writer<Stream>::Writer;
    // `key` is printable ASCII without quote or backslash.
    void PlainKey(std::string_view key) {
        this->Prefix(rapidjson::kStringType);
        this->os_->Put('"');
        this->os_->Text(key);
        this->os_->Put('"');
        this->EndValue(true);
    }
};

// A RapidJSON writer with the helpers the report needs.
template <typename Stream>
class Json {
public:
    explicit Json(Stream& stream) : writer_(stream) {}

    // Keys are fixed ASCII names: written as they stand, without scanning them
    // for characters to escape.
    template <std::size_t N>
    void Key(const char (&key)[N]) {
        writer_.PlainKey({key, N - 1});
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
    void Library(const std::string& path, const ComparedLibrary& lib) {
        writer_.StartObject();
        Key("path");
        Utf8(ValidUtf8(path));
        Key("layout");
        Utf8(lib.layout == LibraryLayout::kLong ? "long" : "short");
        Key("records");
        writer_.Int(lib.count);
        writer_.EndObject();
    }
    rapidjson::Writer<Stream>& writer() { return writer_; }
    // Ready for another value of its own, to `stream`.
    void Restart(Stream& stream) { writer_.Reset(stream); }

private:
    KeyWriter<Stream> writer_;
    std::string scratch_;
};

// `c` is what is shown, `all` the whole comparison: with a filter, the
// filter and the totals of `all` are written beside the counts.
bool WriteJson(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink) {
    Output stream(sink);
    Json<Output> json(stream);
    auto& w = json.writer();
    // An array of `count` elements, `element(writer, i)` writing element i.
    // Blocks of elements are written on two threads, each element by a
    // writer of the block's own as a value of its own; the commas between
    // them go in here, inside this writer's brackets.
    auto array = [&w, &stream](std::size_t count, const auto& element) {
        w.StartArray();
        InBlocks(stream, count, [&](Output& block, std::size_t begin, std::size_t end) {
            Json<Output> own(block);
            for (std::size_t i = begin; i < end; ++i) {
                if (i > 0) block.Put(',');
                own.Restart(block);
                element(own, i);
            }
        });
        w.EndArray();
    };

    w.StartObject();
    json.Key("library1");
    json.Library(sources.path1, c.lib1);
    json.Key("library2");
    json.Library(sources.path2, c.lib2);
    json.Key("classificationsCompared");
    w.Bool(c.classificationsCompared);
    const auto counts = [&](const Comparison& of) {
        w.StartObject();
        json.Key("common");
        w.Uint64(of.pairs.size());
        json.Key("changed");
        w.Uint64(of.changed.size());
        json.Key("only1");
        w.Uint64(of.only1.size());
        json.Key("only2");
        w.Uint64(of.only2.size());
        w.EndObject();
    };
    const ReportFilter& filter = sources.filter;
    if (filter.Active()) {
        json.Key("filter");
        w.StartObject();
        json.Key("search");
        json.Bytes(filter.search);
        json.Key("onlyChanged");
        w.Bool(filter.onlyChanged);
        w.EndObject();
    }
    json.Key("counts");
    counts(c);
    if (filter.Active()) {
        json.Key("totals");
        counts(all);
    }
    json.Key("common");
    array(c.pairs.size(),
          [&](Json<Output>& j, std::size_t k) { j.Fields(c.Record2(c.pairs[k]), true); });
    json.Key("only1");
    array(c.only1.size(),
          [&](Json<Output>& j, std::size_t i) { j.Fields(c.lib1.table[c.only1[i]], true); });
    json.Key("only2");
    array(c.only2.size(),
          [&](Json<Output>& j, std::size_t i) { j.Fields(c.lib2.table[c.only2[i]], true); });
    json.Key("changed");
    array(c.changed.size(), [&](Json<Output>& j, std::size_t i) {
        const MatchedPair& pair = c.pairs[static_cast<std::size_t>(c.changed[i])];
        j.writer().StartObject();
        j.Key("symbol");
        j.Bytes(c.lib2.table.Symbol(pair.record2));
        j.Key("library1");
        j.Fields(c.Record1(pair), false);
        j.Key("library2");
        j.Fields(c.Record2(pair), false);
        j.Key("changedFields");
        j.writer().StartArray();
        for (const auto& [bit, name] : {std::pair{kDesignationDiffers, "designation"},
                                        std::pair{kClassification1Differs, "classification1"},
                                        std::pair{kClassification2Differs, "classification2"}})
            if (pair.differences & bit) j.Utf8(name);
        j.writer().EndArray();
        j.writer().EndObject();
    });
    w.EndObject();
    stream.Put('\n');
    return stream.Finish();
}

// ---- filter ----------------------------------------------------------------

// What `filter` leaves of `c`, as the dialog's lists show it: the names that
// contain the search text, ignoring case and accents, and of the common ones
// only the changed pairs when asked. Copies no names, only the pairs and
// record numbers shown.
Comparison Shown(const Comparison& c, const ReportFilter& filter) {
    Comparison shown;
    shown.lib1 = c.lib1;
    shown.lib2 = c.lib2;
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
    }
    return false;
}

}  // namespace

bool WriteReport(const Comparison& comparison, const ReportSources& sources, ReportFormat format,
                 const ReportSink& sink) {
    if (!sources.filter.Active()) return Write(comparison, comparison, sources, format, sink);
    return Write(Shown(comparison, sources.filter), comparison, sources, format, sink);
}
