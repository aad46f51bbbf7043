// The report as JSON.

// RAPIDJSON_SSE2 / RAPIDJSON_SSE42 stay undefined: the SIMD string scan of
// RapidJSON 1.1.0 lets the control bytes 0x1A-0x1F through unescaped.
#include <rapidjson/writer.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "library/prefetch.h"
#include "report/messages.h"
#include "report/report_output.h"

// RapidJSON writes a string after reserving room for it.
namespace rapidjson {
template <>
inline void PutReserve(report_detail::Output& stream, std::size_t count) {
    stream.Reserve(count);
}
template <>
inline void PutUnsafe(report_detail::Output& stream, char c) {
    stream.PutUnsafe(c);
}
}  // namespace rapidjson

namespace report_detail {

namespace {

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

}  // namespace

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
    // Only with options, so that a report without them stays as it was.
    if (c.options.Any()) {
        json.Key("options");
        w.StartObject();
        json.Key("ignoreCase");
        w.Bool(c.options.ignoreCase);
        json.Key("ignoreBlanks");
        w.Bool(c.options.ignoreBlanks);
        json.Key("ignoreClassifications");
        w.Bool(c.options.ignoreClassifications);
        w.EndObject();
    }
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
        if (!filter.rows.empty()) {
            json.Key("rows");
            w.String(filter.rows.data(), static_cast<rapidjson::SizeType>(filter.rows.size()));
        }
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
        if (i + kPrefetchAhead < c.changed.size()) {  // changed pairs lie far apart
            const MatchedPair& ahead =
                c.pairs[static_cast<std::size_t>(c.changed[i + kPrefetchAhead])];
            c.lib1.table.Prefetch(ahead.record1);
            c.lib2.table.Prefetch(ahead.record2);
        }
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

}  // namespace report_detail
