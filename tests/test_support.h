#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_list.h"

// Remembers every call: "<empty>" for Empty(), the name for Add().
class RecordingList : public SymbolList {
public:
    static constexpr std::string_view kEmptied = "<empty>";
    void Empty() override {
        calls.emplace_back(kEmptied);
        names.clear();
    }
    void Add(std::string_view name) override {
        calls.emplace_back(name);
        names.emplace_back(name);
    }
    std::vector<std::string> calls;  // every call, in order
    std::vector<std::string> names;  // what the list holds now
};

using LongRecord = std::array<std::string, 4>;
struct ShortRecord {
    std::string symbol;
    std::string designation;
};

// prefix followed by the number, e.g. "S17".
std::string Numbered(std::string_view prefix, long number);

// Library file images, each record padded to its slot.
std::string LongLibrary(const std::vector<LongRecord>& records);
std::string ShortLibrary(const std::vector<ShortRecord>& records);

// A folder of its own below the system's temporary folder, removed again.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};
