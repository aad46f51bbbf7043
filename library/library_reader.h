#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_list.h"
#include "library/symbol_table.h"

// Layout of a symbol library file (".1"). Both bytes 0xFF at the start select
// the long layout; anything else the short one.
enum class LibraryLayout { kLong, kShort };

inline constexpr std::uint64_t kRecordBase = 14;
inline constexpr std::uint64_t kLongRecordSize = 144;
inline constexpr std::uint64_t kShortRecordSize = 64;
inline constexpr std::uint64_t kShortDesignationOffset = 18;

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
    std::string message;  // UTF-8

    explicit operator bool() const { return ok; }
};

// A library parsed from bytes in memory: entries 0..records (slot 0 empty), and
// the buffer the entries point into.
struct ParsedLibrary {
    ReadResult result;
    SlotVector entries;
    SymbolStorage storage;
};

// Parses a whole library file held in `bytes`. `displayName` names the file in
// messages. The entries point into `bytes`, which the caller keeps alive for
// as long as they are used.
ParsedLibrary ParseLibraryBytes(std::string_view bytes, const std::string& displayName);

// Reads `size` bytes from `in` into a buffer of their own; a stream that ends
// sooner, or fails, gives no buffer and a message in `failure`. `name` names
// the file in messages.
std::shared_ptr<const ByteBuffer> ReadWholeStream(std::istream& in, std::uintmax_t size,
                                                  const std::string& name, ReadResult& failure);

// Reads the library at `path` into `table`: slot i holds record i, `count`
// becomes the number of records, and each record's symbol is added to `list`
// in record order. The list is not emptied first. On failure table, count and
// list stay exactly as they were.
ReadResult ReadLibraryFile(const std::filesystem::path& path, SymbolTable& table,
                           std::int32_t& count, SymbolList& list);

// The path as UTF-8 text for messages.
std::string PathForMessage(const std::filesystem::path& path);
