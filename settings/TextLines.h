#pragma once
// Line and blank handling shared by the two settings file formats. Both formats are edited in
// place, so a line remembers where it lies in the original text rather than where it ended up,
// and lines are handed out one at a time, so that a file never has to be held whole.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TextLine {
    std::size_t Begin = 0;  // first character of the line
    std::size_t End = 0;    // one past the last character before the line break
    std::size_t Next = 0;   // first character after the line break; End when the text ends unbroken
};

// A line as a LineSource hands it out.
struct SourceLine {
    std::string_view Text;   // without the line break; valid until the next line is asked for
    std::string_view Break;  // "\r\n", "\n", "\r", or empty for an unbroken last line
    TextLine Place;
    // Text holds only the first LongestLine characters; Place still spans the whole line.
    bool Cut = false;
};

// A source that reads a file hands out no more of a line than this, so that a file without line
// breaks (as a crash can leave one, full of NULs) costs no more memory than an ordinary one. No
// setting of ours comes near it.
inline constexpr std::size_t LongestLine = 64 * 1024;
// A line longer than this is no settings file's: reading on to find its end would make the time
// a start takes grow with the damage, so such a file fails to read, as an unreadable one does.
inline constexpr std::size_t LongestReadLine = 4 * 1024 * 1024;

// A text a line at a time. Splits at CR LF, LF and CR alike; a text that ends with a line break
// has no empty last line.
class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line; nullopt after the last.
    virtual std::optional<SourceLine> NextLine() = 0;
};

// The lines of a text held in memory.
class TextLineSource : public LineSource {
public:
    explicit TextLineSource(std::string_view text) : text_(text) {}
    std::optional<SourceLine> NextLine() override;

private:
    std::string_view text_;
    std::size_t next_ = 0;
};

// Where the first line of `text` ends: End and Next relative to its start. nullopt when more text
// could still change the answer (no line break yet, or a CR that may be the start of CR LF)
// while `complete` is false.
std::optional<TextLine> FirstLineOf(std::string_view text, bool complete);

// The break that lines added to a text get: the one its first line ends with, so that they match
// the file, and CR LF for a text without any, as a new file gets.
std::string_view LineBreakFor(std::string_view firstBreak);

// One change to a text: the characters from Begin to End replaced by Text, which is an insertion
// when the two are equal.
struct TextEdit {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::string Text;
};

// The changes one write makes, in text order and not overlapping; none leaves the text alone.
using TextEdits = std::vector<TextEdit>;

// The text with the edits made.
std::string Applied(std::string_view text, const TextEdits& edits);

// Whether the text can stand in a line of a settings file: no line break and no NUL, which
// would end the line or the text early.
bool FitsOnOneLine(std::string_view text);

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

// The stores deal in single-byte characters; a UTF-16 code unit beyond that range becomes "?",
// as the platform's conversion to its single-byte code page makes it.
char SingleByteOf(unsigned utf16Unit);
