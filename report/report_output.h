#pragma once

// The pieces every report format writes with: the output in chunks, and
// blocks of rows made on two threads.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "library/text.h"
#include "library/two_threads.h"
#include "report/report.h"

namespace report_detail {

// The quotes the text report sets around a value, as Windows-1252 bytes.
constexpr char kOpeningQuote = '\x84';  // „
constexpr char kClosingQuote = '\x93';  // “
inline bool IsQuote(char c) {
    return c == kOpeningQuote || c == kClosingQuote;
}

// `bytes` in „…“, shown as AppendWindows1252Visible shows them, with each „
// and “ inside doubled (as RFC 4180 doubles its quote): the designation
// `alt“ – „neu` reads „alt““ – „„neu“, never as two values.
inline void AppendQuoted(std::string_view bytes, std::string& out) {
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

// The formats, each writing `c` (what is shown); `all` is the whole
// comparison, for the totals beside a filter's counts.
bool WriteText(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink);
bool WriteCsv(const Comparison& c, const ReportSink& sink, bool forSpreadsheets);
bool WriteJson(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink);
bool WriteHtml(const Comparison& c, const Comparison& all, const ReportSources& sources,
               const ReportSink& sink);

}  // namespace report_detail
