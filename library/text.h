#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Symbol texts are raw bytes in the Windows-1252 code page.

// Appends `bytes` decoded as Windows-1252 to `out` as UTF-8. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same number, so every byte maps to one character.
void AppendWindows1252AsUtf8(std::string_view bytes, std::string& out);
std::string Windows1252ToUtf8(std::string_view bytes);

// As AppendWindows1252AsUtf8, but every control character shows as a visible
// symbol: 0x00-0x1F and 0x7F as the Unicode control pictures (␀ … ␟, ␡), the
// five undefined bytes as the replacement character �.
void AppendWindows1252Visible(std::string_view bytes, std::string& out);

// `text` (meant as UTF-8, such as a path) as valid UTF-8: each byte that
// begins no valid sequence becomes the replacement character �. With
// `visible`, control characters also show as visible symbols (␛, ␊, …), and
// bidirectional controls as �, so that they can turn no text around on a
// terminal or in a message.
std::string ValidUtf8(std::string_view text, bool visible = false);

// Writes `bytes` decoded as Windows-1252 to `out` as UTF-16: one code unit
// per byte, so `out` must have room for bytes.size() units.
void Windows1252ToUtf16(std::string_view bytes, char16_t* out);

// The Unicode code point that Windows-1252 byte `byte` stands for.
char32_t Windows1252CodePoint(unsigned char byte);

// The order in which the lists show names: alphabetical, ignoring case and
// accents (Ä with A, ß with s), then ignoring case only, then byte by byte, so
// that names equal ignoring case always come out in the same order.
// Negative, zero or positive like strcmp.
int CompareForDisplay(std::string_view a, std::string_view b);
inline bool DisplayLess(std::string_view a, std::string_view b) {
    return CompareForDisplay(a, b) < 0;
}

// The first 16 bytes of the first level of that order for `name` (its bytes
// mapped to their lower-case base letters), as two numbers that compare as
// those bytes do; shorter names are padded with zero bytes. Names whose
// prefixes differ are ordered by them; equal prefixes say nothing.
struct DisplayKeyPrefix {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};
DisplayKeyPrefix DisplayKeyPrefixOf(std::string_view name);

// Sorts `ids` into display order of their names, `nameOf(id)`; equal names
// keep the order of their ids. Each name's key prefix is worked out once, by
// `keyOf(i)` for ids[i] (DisplayKeyPrefixOf of its name), i counting up; only
// names with equal prefixes are compared in full.
template <typename Id, typename NameOf, typename KeyOf>
void SortForDisplay(std::vector<Id>& ids, const NameOf& nameOf, const KeyOf& keyOf) {
    struct Item {
        DisplayKeyPrefix key;
        std::size_t at;  // position in ids
    };
    std::vector<Item> items(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) items[i] = {keyOf(i), i};
    const auto less = [&](const Item& a, const Item& b) {
        if (a.key.high != b.key.high) return a.key.high < b.key.high;
        if (a.key.low != b.key.low) return a.key.low < b.key.low;
        if (const int c = CompareForDisplay(nameOf(ids[a.at]), nameOf(ids[b.at]))) return c < 0;
        return a.at < b.at;
    };
    // Libraries are mostly kept in alphabetical order, perhaps with names
    // added at the end: a few runs in order are merged rather than sorted.
    constexpr std::size_t kMostRuns = 16;
    std::vector<std::size_t> runs = {0};
    for (std::size_t i = 1; i < items.size() && runs.size() <= kMostRuns; ++i)
        if (less(items[i], items[i - 1])) runs.push_back(i);
    if (runs.size() == 1) return;  // in order already
    if (runs.size() > kMostRuns) {
        std::sort(items.begin(), items.end(), less);
    } else {
        runs.push_back(items.size());
        while (runs.size() > 2) {
            std::vector<std::size_t> merged = {0};
            for (std::size_t r = 2; r < runs.size(); r += 2) {
                std::inplace_merge(items.begin() + static_cast<std::ptrdiff_t>(runs[r - 2]),
                                   items.begin() + static_cast<std::ptrdiff_t>(runs[r - 1]),
                                   items.begin() + static_cast<std::ptrdiff_t>(runs[r]), less);
                merged.push_back(runs[r]);
            }
            if (runs.size() % 2 == 0) merged.push_back(runs.back());
            runs.swap(merged);
        }
    }
    std::vector<Id> sorted;
    sorted.reserve(ids.size());
    for (const Item& item : items) sorted.push_back(ids[item.at]);
    ids.swap(sorted);
}
template <typename Id, typename NameOf>
void SortForDisplay(std::vector<Id>& ids, const NameOf& nameOf) {
    SortForDisplay(ids, nameOf, [&](std::size_t i) { return DisplayKeyPrefixOf(nameOf(ids[i])); });
}

// Whether two names differ at most in case and in blanks (spaces, tabs) at
// either end; and a hash that is equal for such names.
bool SameLooseName(std::string_view a, std::string_view b);
std::uint64_t LooseNameHash(std::string_view name);

// `text` folded as the first level of the display order (lower-case base
// letters: "Schütz" as "schutz"), for finding names regardless of case and
// accents.
std::string FoldForSearch(std::string_view text);
// True when `text`, folded so, contains `folded` (already folded).
bool ContainsFolded(std::string_view text, std::string_view folded);

// True when `text` begins with `prefix`, ignoring case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
