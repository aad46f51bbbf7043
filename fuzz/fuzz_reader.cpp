// libFuzzer target: any bytes as a library file. The parse must stay inside
// the buffer, count its records as the file's length says, and either accept
// the file whole or reject it with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/library_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ReadResult result = CheckLibraryBytes(bytes);
    if (!result) {
        if (result.status != ReadStatus::kNotALibrary &&
            result.status != ReadStatus::kTooManyRecords)
            std::abort();
        return 0;
    }
    const std::uint64_t recordSize = result.layout == LibraryLayout::kLong ? 144 : 64;
    const std::uint64_t expected = size > 14 ? (size - 15) / recordSize : 0;
    if (static_cast<std::uint64_t>(result.records) != expected) std::abort();
    std::uint64_t total = 0;
    for (std::uint64_t record = 0; record <= expected; ++record) {
        const SymbolEntry e = ReadRecord(bytes, result.layout, record);
        if (record == 0) continue;
        for (std::string_view f : {e.symbol, e.designation, e.classification1, e.classification2}) {
            if (!f.empty() &&
                (f.data() < bytes.data() || f.data() + f.size() > bytes.data() + size))
                std::abort();
            if (f.find('\0') != std::string_view::npos || f.find('\n') != std::string_view::npos)
                std::abort();
            total += f.size();
        }
    }
    if (total > kFieldBytesPerFileByte * size) std::abort();
    return 0;
}
