#include "report/report.h"

// RAPIDJSON_SSE2 / RAPIDJSON_SSE42 stay undefined: the SIMD string scan of
// RapidJSON 1.1.0 lets the control bytes 0x1A-0x1F through unescaped.
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <string_view>
#include <vector>

#include "library/text.h"

namespace {

// Records of one library that matched nothing, in record order.
LargeVector<std::int32_t> Unmatched(const LargeVector<std::int32_t>& marks) {
    LargeVector<std::int32_t> records;
    for (std::size_t i = 1; i < marks.size(); ++i)
        if (marks[i] != kMatchMark) records.push_back(static_cast<std::int32_t>(i));
    return records;
}

// Buffered output over a C stream.
class Output {
public:
    explicit Output(std::FILE* out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::string& buffer() { return buffer_; }
    void Text(std::string_view text) { buffer_.append(text); }
    void Bytes1252(std::string_view bytes) { AppendWindows1252AsUtf8(bytes, buffer_); }
    // For a terminal: control characters shown as visible symbols, so that a
    // name can neither break a line nor send escape sequences.
    void Visible1252(std::string_view bytes) { AppendWindows1252Visible(bytes, buffer_); }
    void MaybeFlush() {
        if (buffer_.size() >= kFlushAt) Flush();
    }
    bool Flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
            failed_ = true;
        buffer_.clear();
        return !failed_;
    }
    bool ok() const { return !failed_; }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    std::FILE* out_;
    std::string buffer_;
    bool failed_ = false;
};

// ---- text ------------------------------------------------------------------

void TextList(Output& out, std::string_view heading, std::vector<std::string_view> names) {
    SortForDisplay(names, [](std::string_view name) { return name; });
    out.Text(heading);
    out.Text(" (" + std::to_string(names.size()) + ")\n");
    for (std::string_view name : names) {
        out.Text("  ");
        out.Visible1252(name);
        out.Text("\n");
        out.MaybeFlush();
    }
    out.Text("\n");
}

void TextChanged(Output& out, const Comparison& c) {
    out.Text("Geänderte Symbole (" + std::to_string(c.result.changed.size()) + ")\n");
    for (std::int32_t k : c.result.changed) {
        const SymbolEntry before = c.lib1.table[c.result.commonLib1Record[k]];
        const SymbolEntry after = c.lib2.table[c.result.commonLib2Record[k]];
        out.Text("  ");
        out.Visible1252(after.symbol);
        out.Text("\n");
        const struct {
            std::string_view label, a, b;
        } fields[] = {{"Bezeichnung", before.designation, after.designation},
                      {"Klassifizierung 1", before.classification1, after.classification1},
                      {"Klassifizierung 2", before.classification2, after.classification2}};
        for (const auto& f : fields) {
            if (f.a == f.b) continue;
            out.Text("    ");
            out.Text(f.label);
            out.Text(": „");
            out.Visible1252(f.a);
            out.Text("“ → „");
            out.Visible1252(f.b);
            out.Text("“\n");
        }
        out.MaybeFlush();
    }
}

bool WriteText(const Comparison& c, std::FILE* file) {
    Output out(file);
    std::vector<std::string_view> names;
    names.reserve(static_cast<std::size_t>(c.commonCount));
    for (std::int32_t k = 0; k < c.commonCount; ++k) names.push_back(c.common.Symbol(k));
    TextList(out, "Gemeinsame Symbole", std::move(names));
    for (const auto* lib : {&c.lib1, &c.lib2}) {
        names.clear();
        const auto& marks = lib == &c.lib1 ? c.result.lib1Marks : c.result.lib2Marks;
        for (std::int32_t r : Unmatched(marks)) names.push_back(lib->table.Symbol(r));
        TextList(out,
                 lib == &c.lib1 ? "Symbole nur in Bibliothek 1" : "Symbole nur in Bibliothek 2",
                 names);
    }
    TextChanged(out, c);
    return out.Flush();
}

// ---- CSV (RFC 4180) --------------------------------------------------------

void CsvField(Output& out, std::string_view bytes) {
    std::string& buffer = out.buffer();
    const std::size_t start = buffer.size();
    AppendWindows1252AsUtf8(bytes, buffer);
    const std::string_view text(buffer.data() + start, buffer.size() - start);
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return;
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    buffer.replace(start, std::string::npos, quoted);
}

void CsvRow(Output& out, std::string_view list, const SymbolEntry& e) {
    out.Text(list);
    for (std::string_view field : {e.symbol, e.designation, e.classification1, e.classification2}) {
        out.Text(",");
        CsvField(out, field);
    }
    out.Text("\r\n");
    out.MaybeFlush();
}

bool WriteCsv(const Comparison& c, std::FILE* file) {
    Output out(file);
    out.Text("list,symbol,designation,classification1,classification2\r\n");
    for (std::int32_t k = 0; k < c.commonCount; ++k) CsvRow(out, "common", c.common[k]);
    for (std::int32_t r : Unmatched(c.result.lib1Marks)) CsvRow(out, "only1", c.lib1.table[r]);
    for (std::int32_t r : Unmatched(c.result.lib2Marks)) CsvRow(out, "only2", c.lib2.table[r]);
    return out.Flush();
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
        Utf8(lib.path);
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

// RapidJSON's writer scans strings fastest into its own StringBuffer; the
// buffer is emptied into the file whenever it has grown large.
class DrainingBuffer {
public:
    explicit DrainingBuffer(std::FILE* file) : file_(file) {}
    rapidjson::StringBuffer& buffer() { return buffer_; }
    void MaybeDrain() {
        if (buffer_.GetSize() >= kDrainAt) Drain();
    }
    // Bytes that are already JSON, after what the buffer holds.
    void Write(const char* bytes, std::size_t size) {
        Drain();
        if (size != 0 && std::fwrite(bytes, 1, size, file_) != size) failed_ = true;
    }
    bool Drain() {
        const std::size_t size = buffer_.GetSize();
        if (size != 0 && std::fwrite(buffer_.GetString(), 1, size, file_) != size) failed_ = true;
        buffer_.Clear();
        return !failed_;
    }

private:
    static constexpr std::size_t kDrainAt = 1 << 20;
    std::FILE* file_;
    rapidjson::StringBuffer buffer_;
    bool failed_ = false;
};

// Writes one array of `count` elements. The elements are rendered in chunks
// on two threads, each chunk a complete array by its own writer; the chunks'
// elements then go out in order, joined by the one comma between chunks.
template <typename Render>
void JsonArray(Json<rapidjson::StringBuffer>& out, DrainingBuffer& sink, std::int64_t count,
               const Render& render) {
    constexpr std::int64_t kChunk = 1 << 13;
    constexpr std::size_t kInFlight = 4;
    auto renderChunk = [&render, count](rapidjson::StringBuffer buffer, std::int64_t from) {
        buffer.Clear();
        Json<rapidjson::StringBuffer> json(buffer);
        json.writer().StartArray();
        for (std::int64_t i = from; i < std::min(from + kChunk, count); ++i) render(json, i);
        json.writer().EndArray();
        return buffer;
    };

    out.writer().StartArray();
    sink.Drain();
    // Buffers go round between the chunks, so their memory is reused.
    std::vector<rapidjson::StringBuffer> spare(kInFlight);
    std::deque<std::future<rapidjson::StringBuffer>> pending;
    bool firstChunk = true;
    for (std::int64_t next = 0; next < count || !pending.empty();) {
        while (next < count && !spare.empty()) {
            pending.push_back(
                std::async(std::launch::async, renderChunk, std::move(spare.back()), next));
            spare.pop_back();
            next += kChunk;
        }
        rapidjson::StringBuffer chunk = pending.front().get();
        pending.pop_front();
        // The chunk's elements, without its own brackets.
        if (!firstChunk) sink.Write(",", 1);
        firstChunk = false;
        sink.Write(chunk.GetString() + 1, chunk.GetSize() - 2);
        spare.push_back(std::move(chunk));
    }
    out.writer().EndArray();
}

bool WriteJson(const Comparison& c, std::FILE* file) {
    DrainingBuffer sink(file);
    Json<rapidjson::StringBuffer> json(sink.buffer());
    auto& w = json.writer();
    const auto only1 = Unmatched(c.result.lib1Marks);
    const auto only2 = Unmatched(c.result.lib2Marks);
    const auto& changed = c.result.changed;

    w.StartObject();
    json.Key("library1");
    json.Library(c.lib1);
    json.Key("library2");
    json.Library(c.lib2);
    json.Key("common");
    JsonArray(json, sink, c.commonCount,
              [&](auto& out, std::int64_t k) { out.Fields(c.common[k], true); });
    json.Key("only1");
    JsonArray(json, sink, static_cast<std::int64_t>(only1.size()), [&](auto& out, std::int64_t i) {
        out.Fields(c.lib1.table[only1[static_cast<std::size_t>(i)]], true);
    });
    json.Key("only2");
    JsonArray(json, sink, static_cast<std::int64_t>(only2.size()), [&](auto& out, std::int64_t i) {
        out.Fields(c.lib2.table[only2[static_cast<std::size_t>(i)]], true);
    });
    json.Key("changed");
    JsonArray(json, sink, static_cast<std::int64_t>(changed.size()),
              [&](auto& out, std::int64_t i) {
                  const std::int32_t k = changed[static_cast<std::size_t>(i)];
                  out.writer().StartObject();
                  out.Key("symbol");
                  out.Bytes(c.common.Symbol(k));
                  out.Key("library1");
                  out.Fields(c.lib1.table[c.result.commonLib1Record[k]], false);
                  out.Key("library2");
                  out.Fields(c.lib2.table[c.result.commonLib2Record[k]], false);
                  out.writer().EndObject();
              });
    w.EndObject();
    sink.buffer().Put('\n');
    return sink.Drain() && std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace

bool Comparison::HasDifferences() const {
    return !result.changed.empty() ||
           std::any_of(result.lib1Marks.begin() + (result.lib1Marks.empty() ? 0 : 1),
                       result.lib1Marks.end(), [](std::int32_t m) { return m != kMatchMark; }) ||
           std::any_of(result.lib2Marks.begin() + (result.lib2Marks.empty() ? 0 : 1),
                       result.lib2Marks.end(), [](std::int32_t m) { return m != kMatchMark; });
}

bool WriteReport(const Comparison& comparison, ReportFormat format, std::FILE* out) {
    switch (format) {
        case ReportFormat::kText:
            return WriteText(comparison, out) && std::fflush(out) == 0;
        case ReportFormat::kCsv:
            return WriteCsv(comparison, out) && std::fflush(out) == 0;
        case ReportFormat::kJson:
            return WriteJson(comparison, out);
    }
    return false;
}
