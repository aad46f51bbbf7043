#include "library/library_reader.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>
#include <utility>

#include "library/text.h"

namespace {}  // namespace

std::string PathForMessage(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return ValidUtf8({reinterpret_cast<const char*>(text.data()), text.size()}, true);
}

namespace {

enum class SymbolLooks { kPlausible, kOdd, kOneCharacter };

// The symbol of record `record` as a library would hold it: empty, with
// control characters, or running past the space its record has for it are
// odd (the other fields may run on: only the symbol counts). Looks no further
// than that space, however far the field runs.
// `at(start, length)` gives the file's bytes from `start` on, `length` at most.
using WindowReader = std::function<std::string_view(std::uint64_t start, std::uint64_t length)>;

SymbolLooks Judge(const WindowReader& at, LibraryLayout layout, std::uint64_t record) {
    const std::uint64_t recordSize =
        layout == LibraryLayout::kShort ? kShortRecordSize : kLongRecordSize;
    const std::uint64_t room =
        layout == LibraryLayout::kShort ? kShortDesignationOffset : kLongRecordSize;
    const std::string_view window = at(kRecordBase + record * recordSize, room);
    const std::string_view symbol =
        window.substr(0, window.find_first_of(std::string_view("\0\n", 2)));
    if (symbol.empty() || symbol.size() >= room) return SymbolLooks::kOdd;
    for (char c : symbol)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return SymbolLooks::kOdd;
    return symbol.size() == 1 ? SymbolLooks::kOneCharacter : SymbolLooks::kPlausible;
}

// Judges an even spread of at most kDoubtSample records, so that even a huge
// file is judged at once.
void JudgeSample(const WindowReader& at, ReadResult& result) {
    const std::int64_t records = result.records;
    const std::int64_t sample = std::min(records, kDoubtSample);
    std::int64_t odd = 0, oneCharacter = 0;
    for (std::int64_t j = 0; j < sample; ++j) {
        const auto record = static_cast<std::uint64_t>(1 + j * records / sample);
        switch (Judge(at, result.layout, record)) {
            case SymbolLooks::kOdd:
                ++odd;
                break;
            case SymbolLooks::kOneCharacter:
                ++oneCharacter;
                break;
            case SymbolLooks::kPlausible:
                break;
        }
    }
    const bool mostlyOneCharacter = sample >= kOneCharacterMinimum && oneCharacter * 2 > sample;
    result.sampledRecords = sample;
    result.oddRecords = odd + (mostlyOneCharacter ? oneCharacter : 0);
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

FileSignature SignatureOf(std::string_view start) {
    static constexpr struct {
        std::string_view magic;
        FileSignature signature;
    } kKnown[] = {
        {"%PDF-", FileSignature::kPdf},
        {"PK\x03\x04", FileSignature::kZip},
        {"\x89PNG\r\n\x1A\n", FileSignature::kPng},
        {"\xFF\xD8\xFF", FileSignature::kJpeg},
        {"GIF87a", FileSignature::kGif},
        {"GIF89a", FileSignature::kGif},
        {"\x7F"
         "ELF",
         FileSignature::kElf},
        {"MZ", FileSignature::kWindowsProgram},
        {"\x1F\x8B", FileSignature::kGzip},
        {"\xFF\xFE", FileSignature::kUtf16Text},
        {"\xFE\xFF", FileSignature::kUtf16Text},
        {"\xEF\xBB\xBF", FileSignature::kUtf8Text},
    };
    for (const auto& known : kKnown)
        if (start.starts_with(known.magic)) return known.signature;
    return FileSignature::kNone;
}

namespace {

// Layout, records and the sample of a file of `length` bytes read by `at`.
ReadResult Measure(std::uint64_t length, const WindowReader& at) {
    ReadResult result;
    result.fileSize = length;

    const std::string_view marker = at(0, 2);
    const bool isLong = marker.size() == 2 && static_cast<unsigned char>(marker[0]) == 0xFF &&
                        static_cast<unsigned char>(marker[1]) == 0xFF;
    result.layout = isLong ? LibraryLayout::kLong : LibraryLayout::kShort;
    const std::uint64_t recordSize = isLong ? kLongRecordSize : kShortRecordSize;

    // A record exists only where it starts before the end of the file:
    // record i starts at kRecordBase + i * recordSize.
    const std::uint64_t records =
        length > kRecordBase ? (length - kRecordBase - 1) / recordSize : 0;
    constexpr auto kMostRecords =
        static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) - 1;
    if (records > kMostRecords) return ReadFailure(ReadStatus::kTooManyRecords, 0, kMostRecords);
    result.status = ReadStatus::kOk;
    result.records = static_cast<std::int32_t>(records);
    result.signature = SignatureOf(at(0, 8));
    JudgeSample(at, result);
    return result;
}

}  // namespace

ReadResult MeasureLibraryBytes(std::string_view bytes) {
    return Measure(bytes.size(), [bytes](std::uint64_t start, std::uint64_t length) {
        return start < bytes.size() ? bytes.substr(start, length) : std::string_view();
    });
}

namespace {

// Fields may run on past their record, but a file whose fields add up to
// more than a few times its length is no symbol library. Stopping there also
// keeps the work linear in the file's length. False, with the status in
// `result`, when the fields exceed that budget.
bool FieldsWithinBudget(std::string_view bytes, ReadResult& result) {
    const std::uint64_t fieldBudget = kFieldBytesPerFileByte * bytes.size();
    std::uint64_t fieldBytes = 0;
    for (std::uint64_t i = 1; i <= static_cast<std::uint64_t>(result.records); ++i) {
        const SymbolEntry entry = ReadRecord(bytes, result.layout, i);
        fieldBytes += entry.symbol.size() + entry.designation.size() +
                      entry.classification1.size() + entry.classification2.size();
        if (fieldBytes > fieldBudget) {
            result = ReadFailure(ReadStatus::kNotALibrary, 0, kFieldBytesPerFileByte);
            return false;
        }
    }
    return true;
}

}  // namespace

ReadResult CheckLibraryBytes(std::string_view bytes) {
    ReadResult result = MeasureLibraryBytes(bytes);
    if (result) FieldsWithinBudget(bytes, result);
    return result;
}

std::shared_ptr<FileBytes> ReadWholeStream(std::istream& in, std::uintmax_t size,
                                           ReadResult& failure) {
    std::shared_ptr<FileBytes> bytes;
    try {
        bytes = std::make_shared<FileBytes>(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        failure = ReadFailure(ReadStatus::kOutOfMemory);
        return nullptr;
    }

    constexpr std::uintmax_t kChunk = std::uintmax_t{1} << 26;
    std::uintmax_t done = 0;
    while (done < size) {
        const auto want = static_cast<std::streamsize>(std::min(kChunk, size - done));
        in.read(bytes->data() + done, want);
        const auto got = in.gcount();
        if (got <= 0) break;
        done += static_cast<std::uintmax_t>(got);
        if (got < want) break;
    }
    if (done < size) {
        failure = ReadFailure(in.bad() ? ReadStatus::kReadError : ReadStatus::kTruncated);
        return nullptr;
    }
    if (in.bad()) {
        failure = ReadFailure(ReadStatus::kReadError);
        return nullptr;
    }
    return bytes;
}

ReadResult ReadFailure(ReadStatus status, int systemError, std::uint64_t bound) {
    ReadResult result;
    result.status = status;
    result.systemError = systemError;
    result.bound = bound;
    return result;
}

ReadResult ExamineLibraryPath(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return ec && ec != std::errc::no_such_file_or_directory
                   ? ReadFailure(ReadStatus::kCannotOpen, ec.value())
                   : ReadFailure(ReadStatus::kNotFound);
    if (std::filesystem::is_directory(status)) return ReadFailure(ReadStatus::kDirectory);
    // Devices, pipes and sockets may block or never end: only plain files are read.
    if (!std::filesystem::is_regular_file(status)) return ReadFailure(ReadStatus::kNotRegularFile);
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return ReadFailure(ReadStatus::kCannotOpen, ec.value());
    ReadResult result;
    result.status = ReadStatus::kOk;
    result.fileSize = size;
    return result;
}

namespace {

// Opens the regular file at `path` for reading, and measures it; on failure
// says why instead.
bool OpenFile(const std::filesystem::path& path, std::ifstream& in, std::uintmax_t& size,
              ReadResult& failure) {
    failure = ExamineLibraryPath(path);
    if (!failure) return false;
    size = failure.fileSize;
    errno = 0;
    in.open(path, std::ios::in | std::ios::binary);
    if (!in) {
        failure = ReadFailure(ReadStatus::kCannotOpen, errno);
        return false;
    }
    return true;
}

// The sample of an open file, read where it lies: a few kilobytes, however
// large the file.
ReadResult MeasureStream(std::ifstream& in, std::uintmax_t size) {
    std::string window;
    return Measure(size, [&in, &window](std::uint64_t start, std::uint64_t length) {
        window.assign(static_cast<std::size_t>(length), '\0');
        in.clear();
        in.seekg(static_cast<std::streamoff>(start));
        in.read(window.data(), static_cast<std::streamsize>(length));
        window.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
        return std::string_view(window);
    });
}

}  // namespace

namespace {

// The end of every read, once the whole file is in memory: checks it and only
// then changes the table, its count and the list.
ReadResult Adopt(std::string_view bytes, std::shared_ptr<const void> owner, SymbolTable& table,
                 std::int32_t& count, SymbolList& list) {
    ReadResult result = MeasureLibraryBytes(bytes);  // what is there now, whole
    if (!result) return result;
    if (!FieldsWithinBudget(bytes, result)) return result;
    table.ReplaceWithFile(bytes, std::move(owner), result.layout, result.records);
    count = result.records;
    if (list.TakesNames())
        for (std::int32_t i = 1; i <= result.records; ++i) list.Add(table.Symbol(i));
    return result;
}

ReadResult Cancelled(ReadResult result) {
    result.status = ReadStatus::kCancelled;
    return result;
}

}  // namespace

ReadResult ReadLibraryFile(const std::filesystem::path& path, SymbolTable& table,
                           std::int32_t& count, SymbolList& list,
                           const std::function<bool(const ReadResult&)>& proceed,
                           std::shared_ptr<FileBytes>* bytesRead) {
    ReadResult failure;
    std::ifstream in;
    std::uintmax_t size = 0;
    if (!OpenFile(path, in, size, failure)) return failure;

    // Whether the file looks like a library is decided on a sample read
    // first, so that the question comes at once even for a huge file.
    const ReadResult sample = MeasureStream(in, size);
    if (!sample) return sample;
    if (proceed && !proceed(sample)) return Cancelled(sample);

    in.clear();
    in.seekg(0);
    auto bytes = ReadWholeStream(in, size, failure);
    if (!bytes) return failure;
    const std::string_view view = bytes->view();
    std::shared_ptr<FileBytes> kept = bytes;
    const ReadResult result = Adopt(view, std::move(bytes), table, count, list);
    if (result && bytesRead) *bytesRead = std::move(kept);
    return result;
}

ReadResult AdoptLibraryBytes(std::string_view bytes, std::shared_ptr<const void> owner,
                             SymbolTable& table, std::int32_t& count, SymbolList& list,
                             const std::function<bool(const ReadResult&)>& proceed) {
    if (proceed) {
        const ReadResult sample = MeasureLibraryBytes(bytes);
        if (!sample) return sample;
        if (!proceed(sample)) return Cancelled(sample);
    }
    return Adopt(bytes, std::move(owner), table, count, list);
}
