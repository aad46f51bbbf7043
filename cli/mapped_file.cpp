#include "cli/mapped_file.h"

#include <cerrno>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <string>
#endif

namespace {

std::function<void(const std::filesystem::path&)>& AfterMappingHook() {
    static std::function<void(const std::filesystem::path&)> hook;
    return hook;
}

}  // namespace

void MappedFile::SetAfterMappingHook(std::function<void(const std::filesystem::path&)> hook) {
    AfterMappingHook() = std::move(hook);
}

#if !defined(_WIN32)

namespace {

// The mappings a SIGBUS may come from. The handler reads them without a
// lock, so each field is atomic; a place is taken under the mutex.
struct Guarded {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> shortened{false};
};
std::array<Guarded, 8> guarded;
std::mutex guardedPlaces;
struct sigaction earlierBusAction;
std::uintptr_t pageSize = 4096;

// A read past the new end of a shortened file: the page it touched becomes a
// page of zeros, the mapping is marked, and the read is done again. A SIGBUS
// from anywhere else goes to whoever handled it before.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guarded& g : guarded) {
        const std::uintptr_t begin = g.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= g.end.load(std::memory_order_acquire))
            continue;
        void* page = reinterpret_cast<void*>(address & ~(pageSize - 1));
        if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
            MAP_FAILED)
            break;
        g.shortened.store(true, std::memory_order_release);
        return;
    }
    // Not ours: as if this handler had never been set.
    if (earlierBusAction.sa_flags & SA_SIGINFO) {
        earlierBusAction.sa_sigaction(signal, info, context);
    } else if (earlierBusAction.sa_handler != SIG_DFL && earlierBusAction.sa_handler != SIG_IGN) {
        earlierBusAction.sa_handler(signal);
    } else {
        std::signal(SIGBUS, SIG_DFL);  // the read runs again and ends the process
    }
}

// A place among the guarded mappings for [begin, end); -1 when all are taken.
int Guard(const char* begin, std::size_t size) {
    static std::once_flag installed;
    std::call_once(installed, [] {
        pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action = {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &earlierBusAction);
    });
    const std::lock_guard lock(guardedPlaces);
    for (std::size_t i = 0; i < guarded.size(); ++i) {
        Guarded& g = guarded[i];
        if (g.begin.load() != 0) continue;
        g.shortened.store(false);
        g.end.store(reinterpret_cast<std::uintptr_t>(begin) + size);
        g.begin.store(reinterpret_cast<std::uintptr_t>(begin), std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void Unguard(int place) {
    const std::lock_guard lock(guardedPlaces);
    guarded[static_cast<std::size_t>(place)].begin.store(0, std::memory_order_release);
}

}  // namespace

namespace {

MappedFile::State StateOf(const struct stat& about);

}  // namespace

std::shared_ptr<const MappedFile> MappedFile::Open(const std::filesystem::path& path,
                                                   ReadResult& failure) {
    failure = ExamineLibraryPath(path);
    if (!failure) return nullptr;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failure = ReadFailure(ReadStatus::kCannotOpen, errno);
        return nullptr;
    }
    std::shared_ptr<MappedFile> file(new MappedFile);
    file->descriptor_ = fd;
    file->path_ = path;
    // Watched before its state is taken, so that no change falls between the
    // two. Without a watch (no inotify, or its limit reached) the state alone
    // is compared.
    file->watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const std::string opened = "/proc/self/fd/" + std::to_string(fd);
    if (file->watch_ >= 0 &&
        inotify_add_watch(file->watch_, opened.c_str(), IN_MODIFY | IN_MOVE_SELF) < 0) {
        close(file->watch_);
        file->watch_ = -1;
    }
    struct stat about = {};
    if (fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {  // replaced since it was examined
        failure = ReadFailure(ReadStatus::kNotRegularFile);
        return nullptr;
    }
    file->opened_ = StateOf(about);
    file->size_ = static_cast<std::size_t>(about.st_size);
    if (file->size_ > 0) {
        void* data = mmap(nullptr, file->size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            failure = errno == ENOMEM ? ReadFailure(ReadStatus::kOutOfMemory)
                                      : ReadFailure(ReadStatus::kCannotOpen, errno);
            file->size_ = 0;
            return nullptr;
        }
        file->data_ = static_cast<const char*>(data);
        file->guard_ = Guard(file->data_, file->size_);
        if (file->guard_ < 0) {  // more files at once than there are places
            failure = ReadFailure(ReadStatus::kCannotOpen, EMFILE);
            return nullptr;
        }
    }
    if (AfterMappingHook()) AfterMappingHook()(path);
    return file;
}

MappedFile::~MappedFile() {
    if (data_) munmap(const_cast<char*>(data_), size_);
    if (guard_ >= 0) Unguard(guard_);
    if (watch_ >= 0) close(watch_);
    if (descriptor_ >= 0) close(descriptor_);
}

bool MappedFile::Shortened() const {
    return guard_ >= 0 &&
           guarded[static_cast<std::size_t>(guard_)].shortened.load(std::memory_order_acquire);
}

bool MappedFile::Changed() const {
    if (changed_ || Shortened()) return changed_ = true;
    // Any event at all: the watch asks only for writes, truncations and moves.
    alignas(inotify_event) char events[sizeof(inotify_event) + NAME_MAX + 1];
    if (watch_ >= 0 && read(watch_, events, sizeof events) > 0) return changed_ = true;
    struct stat now = {};
    if (fstat(descriptor_, &now) != 0 || StateOf(now) != opened_) return changed_ = true;
    // Another file put in its place (a rename over it) leaves the open one as it was.
    if (stat(path_.c_str(), &now) != 0 || StateOf(now) != opened_) return changed_ = true;
    return false;
}

namespace {

MappedFile::State StateOf(const struct stat& about) {
    return {
        static_cast<std::uint64_t>(about.st_dev), static_cast<std::uint64_t>(about.st_ino),
        static_cast<std::uint64_t>(about.st_size),
        static_cast<std::int64_t>(about.st_mtim.tv_sec) * 1'000'000'000 + about.st_mtim.tv_nsec};
}

}  // namespace

#else  // Windows

namespace {

// The C library's number for a Windows error, for the messages.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

// The identity and state of the open file `handle`; false when the system
// cannot tell.
bool StateOf(HANDLE handle, MappedFile::State& state) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info)) return false;
    const auto wide = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    state = {info.dwVolumeSerialNumber, wide(info.nFileIndexHigh, info.nFileIndexLow),
             wide(info.nFileSizeHigh, info.nFileSizeLow),
             static_cast<std::int64_t>(
                 wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
    return true;
}

}  // namespace

std::shared_ptr<const MappedFile> MappedFile::Open(const std::filesystem::path& path,
                                                   ReadResult& failure) {
    failure = ExamineLibraryPath(path);
    if (!failure) return nullptr;
    // Others may read the file meanwhile, but not write it: it cannot change
    // or shrink while it is mapped.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = ReadFailure(ReadStatus::kCannotOpen, ErrnoOf(GetLastError()));
        return nullptr;
    }
    std::shared_ptr<MappedFile> file(new MappedFile);
    file->file_ = handle;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size)) {
        failure = ReadFailure(ReadStatus::kCannotOpen, ErrnoOf(GetLastError()));
        return nullptr;
    }
    file->size_ = static_cast<std::size_t>(size.QuadPart);
    if (!StateOf(handle, file->opened_)) {
        failure = ReadFailure(ReadStatus::kCannotOpen, ErrnoOf(GetLastError()));
        return nullptr;
    }
    if (file->size_ > 0) {
        file->mapping_ = CreateFileMappingW(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void* data =
            file->mapping_ ? MapViewOfFile(file->mapping_, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (!data) {
            const int error = ErrnoOf(GetLastError());
            failure = error == ENOMEM ? ReadFailure(ReadStatus::kOutOfMemory)
                                      : ReadFailure(ReadStatus::kCannotOpen, error);
            file->size_ = 0;
            return nullptr;
        }
        file->data_ = static_cast<const char*>(data);
    }
    if (AfterMappingHook()) AfterMappingHook()(path);
    return file;
}

MappedFile::~MappedFile() {
    if (data_) UnmapViewOfFile(data_);
    if (mapping_) CloseHandle(mapping_);
    if (file_) CloseHandle(file_);
}

bool MappedFile::Shortened() const {
    return false;
}

bool MappedFile::Changed() const {
    // Nobody can write to the file while it is open here; its identity is
    // compared all the same.
    State now;
    if (changed_ || !StateOf(file_, now) || now != opened_) changed_ = true;
    return changed_;
}

#endif
