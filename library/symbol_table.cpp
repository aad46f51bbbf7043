#include "library/symbol_table.h"

#include <string>
#include <utility>

#include "library/prefetch.h"

SymbolTable lib1Table;
SymbolTable lib2Table;
SymbolTable commonTable;
std::int32_t lib1Count = 0;
std::int32_t lib2Count = 0;
std::int32_t commonCount = 0;

namespace {

// Field rule: the bytes from q up to the first NUL, line feed or end of file.
inline std::string_view ReadField(std::string_view bytes, std::uint64_t q) {
    if (q >= bytes.size()) return {};
    const char* begin = bytes.data() + q;
    const char* end = bytes.data() + bytes.size();
    const char* at = begin;
    while (at != end && *at != '\0' && *at != '\n') ++at;
    return {begin, static_cast<std::size_t>(at - begin)};
}

std::uint64_t RecordStart(LibraryLayout layout, std::uint64_t record) {
    return kRecordBase +
           record * (layout == LibraryLayout::kLong ? kLongRecordSize : kShortRecordSize);
}

}  // namespace

std::string_view ReadRecordSymbol(std::string_view bytes, LibraryLayout layout,
                                  std::uint64_t record) {
    return ReadField(bytes, RecordStart(layout, record));
}

SymbolEntry ReadRecord(std::string_view bytes, LibraryLayout layout, std::uint64_t record) {
    const std::uint64_t p = RecordStart(layout, record);
    SymbolEntry entry;
    entry.symbol = ReadField(bytes, p);
    if (layout == LibraryLayout::kLong) {
        std::uint64_t q = p + entry.symbol.size() + 1;
        entry.designation = ReadField(bytes, q);
        q += entry.designation.size() + 1;
        entry.classification1 = ReadField(bytes, q);
        q += entry.classification1.size() + 1;
        entry.classification2 = ReadField(bytes, q);
    } else {
        entry.designation = ReadField(bytes, p + kShortDesignationOffset);
    }
    return entry;
}

std::int64_t SymbolTable::Size() const {
    return picks_ ? static_cast<std::int64_t>(picks_->size()) : content_->Size();
}

SymbolEntry SymbolTable::operator[](std::int64_t slot) const {
    if (slot < 0 || slot >= Size()) return {};
    const std::size_t at = Underlying(slot);
    const Content& c = *content_;
    return c.fromFile ? ReadRecord(c.file, c.layout, at) : c.entries[at];
}

std::string_view SymbolTable::Symbol(std::int64_t slot) const {
    if (slot < 0 || slot >= Size()) return {};
    const std::size_t at = Underlying(slot);
    const Content& c = *content_;
    return c.fromFile ? ReadRecordSymbol(c.file, c.layout, at) : c.entries[at].symbol;
}

void SymbolTable::Prefetch(std::int64_t slot) const {
    if (slot < 0 || slot >= Size()) return;
    const Content& c = *content_;
    if (!c.fromFile) return;  // slots written one by one lie together, each already at hand
    const std::uint64_t start = RecordStart(c.layout, Underlying(slot));
    if (start >= c.file.size()) return;
    // A long record spans three cache lines; its name and designation lie in
    // the first two.
    ::Prefetch(c.file.data() + start);
    if (c.layout == LibraryLayout::kLong && start + 64 < c.file.size())
        ::Prefetch(c.file.data() + start + 64);
}

bool SymbolTable::HasClassifications() const {
    return !content_->fromFile || content_->layout == LibraryLayout::kLong;
}

const SymbolStorage& SymbolTable::Storage() const {
    return content_->storage;
}

void SymbolTable::Unshare() {
    if (!picks_ && !content_->fromFile && content_.use_count() == 1) return;
    auto own = std::make_shared<Content>();
    own->entries.reserve(static_cast<std::size_t>(Size()));
    for (std::int64_t slot = 0; slot < Size(); ++slot) own->entries.push_back((*this)[slot]);
    own->storage = content_->storage;
    content_ = std::move(own);
    picks_.reset();
}

void SymbolTable::Assign(std::int64_t slot, std::string_view symbol, std::string_view designation,
                         std::string_view classification1, std::string_view classification2) {
    if (slot < 0) return;
    auto bytes = std::make_shared<std::string>();
    bytes->reserve(symbol.size() + designation.size() + classification1.size() +
                   classification2.size());
    for (auto part : {symbol, designation, classification1, classification2}) bytes->append(part);

    const char* at = bytes->data();
    auto take = [&at](std::size_t n) {
        std::string_view view(at, n);
        at += n;
        return view;
    };
    SymbolEntry entry;
    entry.symbol = take(symbol.size());
    entry.designation = take(designation.size());
    entry.classification1 = take(classification1.size());
    entry.classification2 = take(classification2.size());

    Unshare();
    SlotVector& slots = content_->entries;
    if (slot >= Size()) slots.resize(static_cast<std::size_t>(slot) + 1);
    slots[static_cast<std::size_t>(slot)] = entry;
    content_->storage.push_back(std::move(bytes));
}

void SymbolTable::Replace(SlotVector fresh, SymbolStorage storage) {
    auto content = std::make_shared<Content>();
    content->entries = std::move(fresh);
    content->storage = std::move(storage);
    content_ = std::move(content);
    picks_.reset();
}

void SymbolTable::ReplaceWithFile(std::string_view bytes, std::shared_ptr<const void> owner,
                                  LibraryLayout layout, std::int64_t records) {
    auto content = std::make_shared<Content>();
    content->storage.push_back(std::move(owner));
    content->fromFile = true;
    content->file = bytes;
    content->layout = layout;
    content->records = records;
    content_ = std::move(content);
    picks_.reset();
}

void SymbolTable::Pick(const SymbolTable& source, std::vector<std::int32_t> picks) {
    if (source.picks_) {
        // A selection of a selection: resolve to the underlying slots.
        for (auto& pick : picks) pick = (*source.picks_)[static_cast<std::size_t>(pick)];
    }
    content_ = source.content_;
    picks_ = std::make_shared<const std::vector<std::int32_t>>(std::move(picks));
}
