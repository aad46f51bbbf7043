#pragma once

#include <cstdint>
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
// and Shortened() says so. Nor can a cut inside the last page, a copy over
// the file or a rewrite in place be seen in the bytes: the file's identity
// and state (device, inode, size, modification time) are taken when it is
// opened, its changes are watched (inotify), and Changed() says whether
// anything happened to it since. On Windows the file is opened so that nobody
// can write to it while it is mapped; Changed() still compares its identity.
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
    // Whether a read found the file shorter than when it was mapped. Cheap:
    // asked before every piece of output.
    bool Shortened() const;
    // Whether anything happened to the file since it was opened: shortened,
    // written to, truncated, replaced under its name. A few system calls:
    // asked once the output is complete, before success is claimed.
    bool Changed() const;

    // What makes a file the one that was opened, as it was then.
    struct State {
        std::uint64_t device = 0;
        std::uint64_t file = 0;  // inode, or Windows' file index
        std::uint64_t size = 0;
        std::int64_t modified = 0;  // nanoseconds (Linux), 100 ns (Windows)
        bool operator==(const State&) const = default;
    };

    // For tests: called with the path once a file is mapped, before anything
    // of it is read.
    static void SetAfterMappingHook(std::function<void(const std::filesystem::path&)> hook);

private:
    MappedFile() = default;

    const char* data_ = nullptr;
    std::size_t size_ = 0;
    State opened_;
    std::filesystem::path path_;
    int guard_ = -1;       // the file's place among the guarded mappings (Linux)
    int descriptor_ = -1;  // the open file (Linux)
    int watch_ = -1;       // an inotify instance watching it (Linux)
    mutable bool changed_ = false;
    void* mapping_ = nullptr;  // the mapping object (Windows)
    void* file_ = nullptr;     // the open file (Windows)
};
