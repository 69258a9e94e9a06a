// Line splitting, edits and blank trimming for the settings file formats.
#include "TextLines.h"

#include <algorithm>

std::optional<TextLine> FirstLineOf(std::string_view text, bool complete) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        return complete ? std::optional<TextLine>({0, text.size(), text.size()}) : std::nullopt;
    }
    if (text[end] == '\n') {
        return TextLine{0, end, end + 1};
    }
    if (end + 1 == text.size() && !complete) {
        return std::nullopt;
    }
    const bool crlf = text.substr(end, 2) == "\r\n";
    return TextLine{0, end, end + (crlf ? 2 : 1)};
}

std::optional<SourceLine> TextLineSource::NextLine() {
    if (next_ >= text_.size()) {
        return std::nullopt;
    }
    const std::string_view rest = text_.substr(next_);
    const TextLine line = *FirstLineOf(rest, true);
    const SourceLine result{rest.substr(0, line.End),
                            rest.substr(line.End, line.Next - line.End),
                            {next_, next_ + line.End, next_ + line.Next}};
    next_ += line.Next;
    return result;
}

std::string_view LineBreakFor(std::string_view firstBreak) {
    return firstBreak.empty() ? "\r\n" : firstBreak;
}

std::string Applied(std::string_view text, const TextEdits& edits) {
    std::string result;
    std::size_t kept = 0;
    for (const TextEdit& edit : edits) {
        result.append(text.substr(kept, edit.Begin - kept)).append(edit.Text);
        kept = edit.End;
    }
    return result.append(text.substr(kept));
}

bool FitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool StartsWithUtf8Mark(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF");
}

char SingleByteOf(unsigned utf16Unit) {
    return utf16Unit <= 0xFF ? static_cast<char>(utf16Unit) : '?';
}
