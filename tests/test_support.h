#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/symbol_list.h"

// A list that remembers what it was told: the names it holds now, and every
// call in order ("<empty>" for Empty(), the name for Add()). Lists given a tag
// and a shared log write their calls there instead, each prefixed with the
// tag ("only1:Motor", "only1:<empty>"), so that the order across lists shows.
class RecordingList : public SymbolList {
public:
    static constexpr std::string_view kEmptied = "<empty>";
    RecordingList() = default;
    RecordingList(std::string_view tag, std::vector<std::string>& sharedLog)
        : prefix_(std::string(tag) + ":"), sharedLog_(&sharedLog) {}
    void Empty() override {
        Log(kEmptied);
        names.clear();
    }
    void Add(std::string_view name) override {
        Log(name);
        names.emplace_back(name);
    }
    std::vector<std::string> calls;  // every call, in order (none with a shared log)
    std::vector<std::string> names;  // what the list holds now

private:
    void Log(std::string_view call) {
        (sharedLog_ ? *sharedLog_ : calls).push_back(prefix_ + std::string(call));
    }
    std::string prefix_;
    std::vector<std::string>* sharedLog_ = nullptr;
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
