#pragma once
// Line and blank handling shared by the two settings file formats. Both formats are edited in
// place, so a line remembers where it lies in the original bytes rather than holding a copy.

#include <cstddef>
#include <string_view>
#include <vector>

struct TextLine {
    std::size_t Begin = 0;  // first byte of the line
    std::size_t End = 0;    // one past the last byte before the line break
    std::size_t Next = 0;   // first byte after the line break; End when the text ends unbroken
};

// Splits at CR LF, LF and CR alike. A text that ends with a line break has no empty last line.
std::vector<TextLine> SplitLines(std::string_view text);

// The line break the text uses first, so that added lines match the file; CR LF for a text
// without any, as a new file gets.
std::string_view LineBreakOf(std::string_view text);

// Space, tab, vertical tab, form feed and Ctrl-Z: what the platform's profile functions trim
// around names and values.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);

// The part before the first NUL: the platform's stores end a text there.
std::string_view UpToNul(std::string_view text);

// Compares without regard to the case of ASCII letters, as the stores match names.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when the text starts with the UTF-8 byte order mark that some editors put there.
bool StartsWithUtf8Mark(std::string_view text);
inline constexpr std::size_t Utf8MarkLength = 3;
