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

// What a read came to. On failure `message` says, in German, which file and
// why, and nothing the read was given has been changed.
struct ReadResult {
    bool ok = false;
    LibraryLayout layout = LibraryLayout::kShort;
    std::int32_t records = 0;
    std::uint64_t fileSize = 0;
    // Records that a symbol library would not hold: a symbol with control
    // characters, or one running past its record (see Doubtful()).
    std::int64_t oddRecords = 0;
    bool cancelled = false;  // the caller declined a doubtful file
    std::string message;     // UTF-8

    explicit operator bool() const { return ok; }
    // The file reads, but most of its records make no sense as symbols: it is
    // plainly no symbol library (random bytes, a text file, an image).
    bool Doubtful() const { return ok && records > 0 && oddRecords * 2 > records; }
};

// The German warning for a doubtful file, naming it.
std::string DoubtfulLibraryMessage(const std::string& displayName, const ReadResult& result);

// Checks a whole library file held in `bytes`: its layout and number of
// records, and that it is a symbol library at all. `displayName` names the
// file in messages. Its records are then read with ReadRecord.
ReadResult CheckLibraryBytes(std::string_view bytes, const std::string& displayName);

// Reads `size` bytes from `in` into a buffer of their own; a stream that ends
// sooner, or fails, gives no buffer and a message in `failure`. `name` names
// the file in messages.
std::shared_ptr<const FileBytes> ReadWholeStream(std::istream& in, std::uintmax_t size,
                                                 const std::string& name, ReadResult& failure);

// Reads the library at `path` into `table`: slot i holds record i, `count`
// becomes the number of records, and each record's symbol is added to `list`
// in record order. The list is not emptied first. On failure table, count and
// list stay exactly as they were.
//
// `proceed` is asked, once the file is read and checked and before anything
// changes, whether to go on; when it says no, the result is not ok, is
// marked cancelled and has no message, and nothing has changed.
ReadResult ReadLibraryFile(const std::filesystem::path& path, SymbolTable& table,
                           std::int32_t& count, SymbolList& list,
                           const std::function<bool(const ReadResult&)>& proceed = {});

// A path given as UTF-8 text (a command-line argument, a file chooser's answer).
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text for messages.
std::string PathForMessage(const std::filesystem::path& path);
