#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "library/library_reader.h"

// A library file mapped read-only into memory, for the command-line tool: it
// reads each file once and ends, so the page cache serves the bytes without a
// copy. (The dialog holds its tables for hours and reads into memory.)
//
// On Linux another program may shorten a mapped file, and a read past its new
// end would end the process. A read there instead finds zeros from then on,
// and Shortened() says so: the caller reports the file as shortened while it
// was read. On Windows the file is opened so that nobody can write to it
// while it is mapped.
//
// This and console.cpp are the tool's only platform-specific places.
class MappedFile {
public:
    // Maps the regular file at `path`; null, with the reason in `failure`,
    // when it cannot.
    static std::shared_ptr<const MappedFile> Open(const std::filesystem::path& path,
                                                  ReadResult& failure);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view Bytes() const { return {data_, size_}; }
    // Whether a read found the file shorter than when it was mapped.
    bool Shortened() const;

    // For tests: called with the path once a file is mapped, before anything
    // of it is read.
    static void SetAfterMappingHook(std::function<void(const std::filesystem::path&)> hook);

private:
    MappedFile() = default;

    const char* data_ = nullptr;
    std::size_t size_ = 0;
    int guard_ = -1;           // the file's place among the guarded mappings (Linux)
    void* mapping_ = nullptr;  // the mapping object (Windows)
    void* file_ = nullptr;     // the open file (Windows)
};
