#include "library/library_reader.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>
#include <utility>

namespace {

std::string Failure(const std::string& file, std::string_view reason) {
    std::string message = "Die Datei „";
    message += file;
    message += "“ kann nicht eingelesen werden: ";
    message += reason;
    return message;
}

ReadResult Failed(const std::string& file, std::string_view reason) {
    ReadResult result;
    result.message = Failure(file, reason);
    return result;
}

// The reason an open failed, from the C library's error number.
std::string OpenFailureReason(int error) {
    const auto code = std::error_code(error, std::generic_category());
    if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted)
        return "Keine Leseberechtigung.";
    if (code == std::errc::no_such_file_or_directory) return "Sie existiert nicht.";
    if (code == std::errc::is_a_directory) return "Sie ist ein Ordner.";
    if (code == std::errc::device_or_resource_busy || code == std::errc::text_file_busy)
        return "Sie wird von einem anderen Programm verwendet.";
    if (code == std::errc::too_many_files_open || code == std::errc::too_many_files_open_in_system)
        return "Zu viele Dateien sind geöffnet.";
    return "Sie lässt sich nicht öffnen (Fehlernummer " + std::to_string(error) + ").";
}

}  // namespace

std::string PathForMessage(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

namespace {

// A record a symbol library would not hold: its symbol holds control
// characters, or runs past the space its record has for it.
bool IsOdd(const SymbolEntry& entry, LibraryLayout layout) {
    for (char c : entry.symbol)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    if (layout == LibraryLayout::kShort) return entry.symbol.size() >= kShortDesignationOffset;
    return entry.symbol.size() + entry.designation.size() + entry.classification1.size() +
               entry.classification2.size() + 4 >
           kLongRecordSize;
}

}  // namespace

std::string DoubtfulLibraryMessage(const std::string& displayName, const ReadResult& result) {
    return "Die Datei „" + displayName +
           "“ sieht nicht wie eine Symbolbibliothek aus: " + std::to_string(result.oddRecords) +
           " von " + std::to_string(result.records) +
           " Datensätzen enthalten Steuerzeichen im Symbolnamen oder reichen über ihren "
           "Datensatz hinaus.";
}

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

ReadResult CheckLibraryBytes(std::string_view bytes, const std::string& displayName) {
    ReadResult result;
    const std::uint64_t length = bytes.size();
    result.fileSize = length;

    const bool isLong = length >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                        static_cast<unsigned char>(bytes[1]) == 0xFF;
    result.layout = isLong ? LibraryLayout::kLong : LibraryLayout::kShort;
    const std::uint64_t recordSize = isLong ? kLongRecordSize : kShortRecordSize;

    // A record exists only where it starts before the end of the file:
    // record i starts at kRecordBase + i * recordSize.
    const std::uint64_t records =
        length > kRecordBase ? (length - kRecordBase - 1) / recordSize : 0;
    if (records >= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        result.message = Failure(displayName, "Sie enthält zu viele Datensätze.");
        return result;
    }

    // Fields may run on past their record, but a file whose fields add up to
    // more than a few times its length is no symbol library. Stopping there
    // also keeps the work linear in the file's length.
    const std::uint64_t fieldBudget = kFieldBytesPerFileByte * length;
    std::uint64_t fieldBytes = 0;
    for (std::uint64_t i = 1; i <= records; ++i) {
        const SymbolEntry entry = ReadRecord(bytes, result.layout, i);
        fieldBytes += entry.symbol.size() + entry.designation.size() +
                      entry.classification1.size() + entry.classification2.size();
        if (IsOdd(entry, result.layout)) ++result.oddRecords;
        if (fieldBytes > fieldBudget) {
            result.message = Failure(displayName,
                                     "Sie ist keine Symbolbibliothek (ihre Felder sind nicht "
                                     "abgeschlossen).");
            return result;
        }
    }

    result.ok = true;
    result.records = static_cast<std::int32_t>(records);
    return result;
}

std::shared_ptr<const FileBytes> ReadWholeStream(std::istream& in, std::uintmax_t size,
                                                 const std::string& name, ReadResult& failure) {
    std::shared_ptr<FileBytes> bytes;
    try {
        bytes = std::make_shared<FileBytes>(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        failure = Failed(name, "Nicht genug Arbeitsspeicher.");
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
        failure = Failed(name, in.bad() ? "Beim Lesen ist ein Fehler aufgetreten."
                                        : "Sie wurde während des Lesens verkürzt.");
        return nullptr;
    }
    if (in.bad()) {
        failure = Failed(name, "Beim Lesen ist ein Fehler aufgetreten.");
        return nullptr;
    }
    return bytes;
}

namespace {

// Reads the whole regular file at `path`; on failure returns a message instead.
std::shared_ptr<const FileBytes> LoadFile(const std::filesystem::path& path,
                                          const std::string& name, ReadResult& failure) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        failure = Failed(name, ec && ec != std::errc::no_such_file_or_directory
                                   ? OpenFailureReason(ec.value())
                                   : "Sie existiert nicht.");
        return nullptr;
    }
    if (std::filesystem::is_directory(status)) {
        failure = Failed(name, "Sie ist ein Ordner.");
        return nullptr;
    }
    // Devices, pipes and sockets may block or never end: only plain files are read.
    if (!std::filesystem::is_regular_file(status)) {
        failure = Failed(name,
                         "Sie ist keine gewöhnliche Datei (sondern z. B. ein Gerät oder "
                         "eine Pipe).");
        return nullptr;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        failure = Failed(name, OpenFailureReason(ec.value()));
        return nullptr;
    }

    errno = 0;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) {
        failure =
            Failed(name, errno != 0 ? OpenFailureReason(errno) : "Sie lässt sich nicht öffnen.");
        return nullptr;
    }

    return ReadWholeStream(in, size, name, failure);
}

}  // namespace

ReadResult ReadLibraryFile(const std::filesystem::path& path, SymbolTable& table,
                           std::int32_t& count, SymbolList& list,
                           const std::function<bool(const ReadResult&)>& proceed) {
    const std::string name = PathForMessage(path);
    ReadResult failure;
    auto bytes = LoadFile(path, name, failure);
    if (!bytes) return failure;

    ReadResult result = CheckLibraryBytes(bytes->view(), name);
    if (!result) return result;
    if (proceed && !proceed(result)) {
        result.ok = false;
        result.cancelled = true;
        return result;
    }

    // All read: only now do the table, its count and the list change.
    table.ReplaceWithFile(std::move(bytes), result.layout, result.records);
    count = result.records;
    for (std::int32_t i = 1; i <= result.records; ++i) list.Add(table.Symbol(i));
    return result;
}
