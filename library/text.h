#pragma once

#include <string>
#include <string_view>

// Symbol texts are raw bytes in the Windows-1252 code page.

// Appends `bytes` decoded as Windows-1252 to `out` as UTF-8. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same number, so every byte maps to one character.
void AppendWindows1252AsUtf8(std::string_view bytes, std::string& out);
std::string Windows1252ToUtf8(std::string_view bytes);

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

// The first-level weight of a byte: its lower-case base letter.
char PrimaryWeight(unsigned char byte);

// Appends the first level of that order for `name`: its bytes mapped to their
// lower-case base letters. Byte-wise comparison of two such keys orders the
// names as the first level of CompareForDisplay does.
template <typename String>
void AppendPrimarySortKey(std::string_view name, String& out) {
    for (char c : name) out.push_back(PrimaryWeight(static_cast<unsigned char>(c)));
}

// True when `text` begins with `prefix`, ignoring case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
