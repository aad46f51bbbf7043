// Saving a library file: written aside, read back and compared, the old
// file kept as NAME.bak, and only then put in its place.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "library/library_writer.h"

namespace {

using Step = SaveOutcome::Step;

// The C library's error number for `code`, where it has one.
int ErrorNumber(const std::error_code& code) {
    const std::error_condition condition = code.default_error_condition();
    return condition.category() == std::generic_category() ? condition.value() : code.value();
}

SaveOutcome Failed(Step step, int error) {
    return {step, error};
}

// A name beside `path` that nothing has yet: "NAME.1.~1a2b3c4d.tmp".
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    std::random_device device;
    std::mt19937_64 random(
        device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::path candidate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        candidate = path;
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".~%08llx.tmp",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFu));
        candidate += suffix;
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, ec))) break;
    }
    return candidate;
}

// Whether the file at `path` holds exactly `bytes`; the error number in
// `error` where it could not be read.
bool HoldsExactly(const std::filesystem::path& path, std::string_view bytes, int& error) {
    errno = 0;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) {
        error = errno;
        return false;
    }
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::string chunk(kChunk, '\0');
    std::size_t done = 0;
    while (true) {
        in.read(chunk.data(), static_cast<std::streamsize>(kChunk));
        const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0));
        if (got > bytes.size() - done || std::memcmp(chunk.data(), bytes.data() + done, got) != 0)
            return false;
        done += got;
        if (got < kChunk) break;
    }
    if (in.bad()) {
        error = errno;
        return false;
    }
    return done == bytes.size();
}

}  // namespace

std::filesystem::path BackupPath(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    backup += ".bak";
    return backup;
}

SaveOutcome SaveLibraryFile(const std::filesystem::path& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    const fs::path temporary = TemporaryBeside(path);
    std::error_code ec;
    const auto removeTemporary = [&temporary] {
        std::error_code ignored;
        fs::permissions(temporary, fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove(temporary, ignored);
    };

    errno = 0;
    std::ofstream out(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out) return Failed(Step::kCreateTemporary, errno);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    int error = errno;
    out.close();
    if (out.fail()) {
        if (error == 0) error = errno;
        removeTemporary();
        return Failed(Step::kWriteTemporary, error);
    }

    error = 0;
    if (!HoldsExactly(temporary, bytes, error)) {
        removeTemporary();
        return Failed(Step::kVerify, error);
    }

    const fs::file_status target = fs::status(path, ec);
    if (fs::exists(target)) {
        // The new file gets the old one's permissions, as far as the system keeps them.
        fs::permissions(temporary, target.permissions(), ec);
        const fs::path backup = BackupPath(path);
        ec.clear();
        fs::remove(backup, ec);
        if (!ec) {
            // A second name for the old file costs nothing; where the file
            // system has none, a copy.
            fs::create_hard_link(path, backup, ec);
            if (ec) {
                ec.clear();
                fs::copy_file(path, backup, fs::copy_options::overwrite_existing, ec);
                if (ec) {
                    std::error_code ignored;
                    fs::remove(backup, ignored);
                }
            }
        }
        if (ec) {
            removeTemporary();
            return Failed(Step::kKeepBackup, ErrorNumber(ec));
        }
    }

    ec.clear();
    fs::rename(temporary, path, ec);  // replaces the target, also under Windows
    if (ec) {
        removeTemporary();
        return Failed(Step::kReplace, ErrorNumber(ec));
    }
    return {};
}
