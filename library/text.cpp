#include "library/text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes map to themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Lower-case partner of every byte (identity for everything that is not an
// upper-case letter).
constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 32);
    table[0x8A] = 0x9A;  // Š
    table[0x8C] = 0x9C;  // Œ
    table[0x8E] = 0x9E;  // Ž
    table[0x9F] = 0xFF;  // Ÿ
    return table;
}
constexpr auto kLower = MakeLowerTable();

// Primary weight: the lower-case base letter, so that accented letters sort
// with their plain letter.
constexpr std::array<unsigned char, 256> MakeBaseTable() {
    std::array<unsigned char, 256> table = MakeLowerTable();
    auto set = [&table](int from, int to, char base) {
        for (int c = from; c <= to; ++c) {
            table[c] = static_cast<unsigned char>(base);
            table[c + 0x20] = static_cast<unsigned char>(base);
        }
    };
    set(0xC0, 0xC6, 'a');  // À..Æ
    set(0xC7, 0xC7, 'c');
    set(0xC8, 0xCB, 'e');
    set(0xCC, 0xCF, 'i');
    set(0xD0, 0xD0, 'd');
    set(0xD1, 0xD1, 'n');
    set(0xD2, 0xD6, 'o');
    set(0xD8, 0xD8, 'o');
    set(0xD9, 0xDC, 'u');
    set(0xDD, 0xDD, 'y');
    set(0xDE, 0xDE, 't');
    table[0xDF] = 's';  // ß
    table[0x8A] = table[0x9A] = 's';
    table[0x8C] = table[0x9C] = 'o';
    table[0x8E] = table[0x9E] = 'z';
    table[0x9F] = table[0xFF] = 'y';
    return table;
}
constexpr auto kBase = MakeBaseTable();

int CompareMapped(std::string_view a, std::string_view b,
                  const std::array<unsigned char, 256>& map) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = map[static_cast<unsigned char>(a[i])];
        const int y = map[static_cast<unsigned char>(b[i])];
        if (x != y) return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

char32_t Windows1252CodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

namespace {

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// A control character as the visible symbol that stands for it: 0x00-0x1F
// and 0x7F as the Unicode control pictures (␀ … ␟, ␡), 0x80-0x9F as �.
char32_t Visible(char32_t cp) {
    if (cp < 0x20) return cp + 0x2400;
    if (cp == 0x7F) return 0x2421;
    if (cp >= 0x80 && cp < 0xA0) return 0xFFFD;
    return cp;
}

// The code point of the UTF-8 sequence at text[at], and its length; an
// invalid, overlong or cut-off sequence is one byte standing for U+FFFD.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    constexpr std::pair<char32_t, std::size_t> kInvalid{0xFFFD, 1};
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return kInvalid;
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return kInvalid;
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return kInvalid;
    return {cp, length};
}

}  // namespace

void Windows1252ToUtf16(std::string_view bytes, char16_t* out) {
    for (char c : bytes)
        *out++ = static_cast<char16_t>(Windows1252CodePoint(static_cast<unsigned char>(c)));
}

void AppendWindows1252Visible(std::string_view bytes, std::string& out) {
    // Printable ASCII, the usual case, goes across in one piece.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        out.append(bytes);
        return;
    }
    for (char c : bytes)
        AppendUtf8(Visible(Windows1252CodePoint(static_cast<unsigned char>(c))), out);
}

void AppendWindows1252AsUtf8(std::string_view bytes, std::string& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Plain ASCII, the usual case, goes across in runs.
        std::size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) break;
        i = run + 1;
        const auto byte = static_cast<unsigned char>(bytes[run]);
        AppendUtf8(Windows1252CodePoint(byte), out);
    }
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendWindows1252AsUtf8(bytes, out);
    return out;
}

int CompareForDisplay(std::string_view a, std::string_view b) {
    if (int c = CompareMapped(a, b, kBase)) return c;
    if (int c = CompareMapped(a, b, kLower)) return c;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

DisplayKeyPrefix DisplayKeyPrefixOf(std::string_view name) {
    std::uint64_t parts[2] = {0, 0};
    const std::size_t n = name.size() < 16 ? name.size() : 16;
    for (std::size_t i = 0; i < n; ++i)
        parts[i / 8] |= std::uint64_t{kBase[static_cast<unsigned char>(name[i])]}
                        << (56 - 8 * (i % 8));
    return {parts[0], parts[1]};
}

namespace {

std::string_view TrimBlanks(std::string_view name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!name.empty() && blank(name.front())) name.remove_prefix(1);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    return name;
}

}  // namespace

std::uint64_t LooseNameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (char c : TrimBlanks(name)) {
        hash ^= kLower[static_cast<unsigned char>(c)];
        hash *= 1099511628211u;
    }
    return hash;
}

bool SameLooseName(std::string_view a, std::string_view b) {
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (kLower[static_cast<unsigned char>(a[i])] != kLower[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (kLower[static_cast<unsigned char>(text[i])] !=
            kLower[static_cast<unsigned char>(prefix[i])])
            return false;
    return true;
}

namespace {

// The bidirectional controls: the marks U+200E, U+200F and U+061C, the
// embeddings and overrides U+202A-U+202E, the isolates U+2066-U+2069.
bool IsBidiControl(char32_t cp) {
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string ValidUtf8(std::string_view text, bool visible) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto [cp, length] = DecodeUtf8(text, at);
        // No Windows-1252 byte stands for a bidirectional control: names
        // need no such look, only text meant as UTF-8.
        AppendUtf8(visible ? (IsBidiControl(cp) ? char32_t{0xFFFD} : Visible(cp)) : cp, out);
        at += length;
    }
    return out;
}

std::string FoldForSearch(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(kBase[static_cast<unsigned char>(c)]);
    return folded;
}

bool ContainsFolded(std::string_view text, std::string_view folded) {
    if (folded.empty()) return true;
    if (folded.size() > text.size()) return false;
    const auto first = static_cast<unsigned char>(folded.front());
    for (std::size_t at = 0; at + folded.size() <= text.size(); ++at) {
        if (kBase[static_cast<unsigned char>(text[at])] != first) continue;
        std::size_t i = 1;
        while (i < folded.size() && kBase[static_cast<unsigned char>(text[at + i])] ==
                                        static_cast<unsigned char>(folded[i]))
            ++i;
        if (i == folded.size()) return true;
    }
    return false;
}
