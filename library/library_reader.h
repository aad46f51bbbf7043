#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_list.h"
#include "library/symbol_table.h"

// A file whose fields add up to more than this many times its length is not a
// symbol library: its fields are not terminated where records would end them.
inline constexpr std::uint64_t kFieldBytesPerFileByte = 4;

// How a read ended.
enum class ReadStatus {
    kNotRead,  // nothing read yet: what a result is until a read fills it
    kOk,
    kNotFound,        // no file by that name
    kDirectory,       // a folder
    kNotRegularFile,  // a device, a pipe or a socket: never read
    kCannotOpen,      // the system refused; `systemError` says why
    kOutOfMemory,     // no room for the file's bytes
    kReadError,       // the system failed while reading
    kTruncated,       // the file ended before its measured length
    kTooManyRecords,  // more records than a count holds; `bound` is the most
    kNotALibrary,     // fields adding up to more than `bound` times the file's length
    kCancelled,       // the caller declined a doubtful file
};

// The start of a file of a well-known other kind: such a file is plainly no
// symbol library, however few records it would have.
enum class FileSignature {
    kNone,
    kPdf,             // "%PDF-"
    kZip,             // "PK\3\4" (also .docx, .xlsx, .jar)
    kPng,             // 0x89 "PNG" CR LF 0x1A LF
    kJpeg,            // 0xFF 0xD8 0xFF
    kGif,             // "GIF87a", "GIF89a"
    kElf,             // 0x7F "ELF": a Linux program or library
    kWindowsProgram,  // "MZ"
    kGzip,            // 0x1F 0x8B
    kUtf16Text,       // byte-order mark 0xFF 0xFE or 0xFE 0xFF
    kUtf8Text,        // byte-order mark 0xEF 0xBB 0xBF
};

// The kind of file that `start` (the file's first bytes, at least 8 where
// the file has them) begins like.
FileSignature SignatureOf(std::string_view start);

// What a read came to: a status and the numbers that explain it, no words.
// On failure nothing the read was given has been changed.
struct ReadResult {
    ReadStatus status = ReadStatus::kNotRead;
    int systemError = 0;  // the C library's error number, where the system refused
    std::uint64_t bound = 0;
    LibraryLayout layout = LibraryLayout::kShort;
    std::int32_t records = 0;
    std::uint64_t fileSize = 0;
    // Of `sampledRecords` records looked at (all of them, or an even spread
    // of kDoubtSample in a larger file), how many a symbol library would not
    // hold: an empty symbol, one with control characters or one running past
    // its record; and, in a file made mostly of them, one-character symbols.
    std::int64_t sampledRecords = 0;
    std::int64_t oddRecords = 0;
    // What the file begins like, when that is a well-known other kind.
    FileSignature signature = FileSignature::kNone;

    // Read, and the file holds a library: the status says so, nothing else.
    explicit operator bool() const { return status == ReadStatus::kOk; }
    // The file reads, but it begins like a file of another kind, or most of
    // its records make no sense as symbols: it is plainly no symbol library
    // (random bytes, a text file, an image, a program).
    bool Doubtful() const {
        return *this && (signature != FileSignature::kNone ||
                         (sampledRecords > 0 && oddRecords * 2 > sampledRecords));
    }
};

// How many records, evenly spread, decide whether a file looks like a library.
inline constexpr std::int64_t kDoubtSample = 4096;
// One-character symbols count as odd only in a file of at least this many
// records that is made mostly of them (a text in UTF-16 reads that way).
inline constexpr std::int64_t kOneCharacterMinimum = 32;

// Checks a whole library file held in `bytes`: its layout and number of
// records, and that it is a symbol library at all. Its records are then read
// with ReadRecord.
ReadResult CheckLibraryBytes(std::string_view bytes);

// The quick part of that check, enough to decide whether the file looks like
// a library: layout, number of records and the sample of records. The
// fields' budget is not checked.
ReadResult MeasureLibraryBytes(std::string_view bytes);

// Reads `size` bytes from `in` into a buffer of their own; a stream that ends
// sooner, or fails, gives no buffer and the reason in `failure`.
std::shared_ptr<FileBytes> ReadWholeStream(std::istream& in, std::uintmax_t size,
                                           ReadResult& failure);

// Reads the library at `path` into `table`: slot i holds record i, `count`
// becomes the number of records, and each record's symbol is added to `list`
// in record order. The list is not emptied first. On failure table, count and
// list stay exactly as they were.
//
// `proceed` is asked, once the file is read and checked and before anything
// changes, whether to go on; when it says no, the result is not ok, its
// status is kCancelled, and nothing has changed.
//
// `bytes`, where given, gets the buffer the table reads, for a caller that
// changes records where they stand (the table reads what it holds then).
ReadResult ReadLibraryFile(const std::filesystem::path& path, SymbolTable& table,
                           std::int32_t& count, SymbolList& list,
                           const std::function<bool(const ReadResult&)>& proceed = {},
                           std::shared_ptr<FileBytes>* bytes = nullptr);

// A read that failed for `status`, with the numbers that explain it.
ReadResult ReadFailure(ReadStatus status, int systemError = 0, std::uint64_t bound = 0);

// Whether `path` names a regular file that a read may open; its size in
// `fileSize`. Not ok, with the reason, for a missing file, a folder, a device.
ReadResult ExamineLibraryPath(const std::filesystem::path& path);

// As ReadLibraryFile, for a file whose bytes are already in memory (mapped):
// `bytes` stay valid while `owner` lives, and the table keeps `owner`.
ReadResult AdoptLibraryBytes(std::string_view bytes, std::shared_ptr<const void> owner,
                             SymbolTable& table, std::int32_t& count, SymbolList& list,
                             const std::function<bool(const ReadResult&)>& proceed = {});

// A path given as UTF-8 text (a command-line argument, a file chooser's answer).
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text for messages: bytes that are no UTF-8 shown as �,
// control characters as visible symbols, so that a name can neither break a
// message nor send escape sequences to a terminal.
std::string PathForMessage(const std::filesystem::path& path);
