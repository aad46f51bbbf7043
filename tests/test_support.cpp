#include "test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace {
std::string Header(bool isLong, std::size_t recordSize) {
    std::string bytes(14 + recordSize, '\0');
    if (isLong)
        bytes[0] = bytes[1] = '\xFF';
    else
        bytes[0] = bytes[1] = 'S';
    return bytes;
}
}  // namespace

std::string Numbered(std::string_view prefix, long number) {
    std::string text(prefix);
    text += std::to_string(number);
    return text;
}

std::string LongLibrary(const std::vector<LongRecord>& records) {
    std::string bytes = Header(true, 144);
    for (const auto& record : records) {
        std::string slot;
        for (const auto& field : record) slot += field + '\0';
        if (slot.size() < 144) slot.resize(144, '\0');
        bytes += slot;
    }
    return bytes;
}

std::string ShortLibrary(const std::vector<ShortRecord>& records) {
    std::string bytes = Header(false, 64);
    for (const auto& record : records) {
        std::string slot(64, '\0');
        slot.replace(0, record.symbol.size(), record.symbol);
        slot.replace(18, record.designation.size(), record.designation);
        slot.resize(64, '\0');
        bytes += slot;
    }
    return bytes;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("libcompare-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, std::string_view bytes) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file;
}
