// Reading and in-place editing of one value of the registry export file.
#include "RegistryFileFormat.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#include "TextLines.h"

namespace {

enum class DataKind { String, Other };

// One "Name"=data line of our key, with the continuation lines of a long hex value.
struct ValueLines {
    std::string Name;
    DataKind Kind = DataKind::Other;
    std::size_t DataBegin = 0;  // file position of the data after "="
    std::size_t FirstLine = 0;  // index into the file's lines
    std::size_t LastLine = 0;
};

struct KeyContents {
    bool HasHeader = false;
    bool KeyFound = false;
    std::size_t LastKeyLine = 0;  // the last non-blank line of the last section of our key
    std::vector<ValueLines> Values;
};

// Reads a quoted text starting at text[0] == '"'. Only \\ and \" are escapes; any other
// backslash stands for itself. Returns the text and the position after the closing quote.
std::optional<std::pair<std::string, std::size_t>> ParseQuoted(std::string_view text) {
    if (!text.starts_with('"')) {
        return std::nullopt;
    }
    std::string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            return std::pair{result, i + 1};
        }
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            ++i;
        }
        result += text[i];
    }
    return std::nullopt;
}

std::string Quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            result += '\\';
        }
        result += c;
    }
    return result + "\"";
}

std::string_view LineText(std::string_view file, const TextLine& line) {
    return TrimBlanks(file.substr(line.Begin, line.End - line.Begin));
}

bool IsHexContinuation(std::string_view lineText) {
    return !lineText.empty() &&
           lineText.find_first_not_of("0123456789abcdefABCDEF, \t\\") == std::string_view::npos;
}

bool IsStringData(std::string_view data) {
    const auto quoted = ParseQuoted(data);
    return quoted && TrimBlanks(data.substr(quoted->second)).empty();
}

KeyContents ParseKey(std::string_view file, const std::vector<TextLine>& lines) {
    KeyContents key;
    const std::size_t skip = StartsWithUtf8Mark(file) ? Utf8MarkLength : 0;
    if (lines.empty() || lines[0].End < skip ||
        TrimBlanks(file.substr(skip, lines[0].End - skip)) != RegistryFileHeader) {
        return key;
    }
    key.HasHeader = true;
    bool inKey = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view raw = file.substr(lines[i].Begin, lines[i].End - lines[i].Begin);
        const std::string_view trimmed = TrimBlanks(raw);
        if (trimmed.starts_with('[') && trimmed.ends_with(']')) {
            inKey = EqualsIgnoringCase(trimmed.substr(1, trimmed.size() - 2), RegistryFileKey);
            key.KeyFound = key.KeyFound || inKey;
            if (inKey) {
                key.LastKeyLine = i;
            }
            continue;
        }
        if (!trimmed.empty() && inKey) {
            key.LastKeyLine = i;
        }
        const auto name = ParseQuoted(trimmed);
        if (!name) {
            continue;
        }
        const std::string_view afterName = TrimBlanks(trimmed.substr(name->second));
        if (!afterName.starts_with('=')) {
            continue;
        }
        const std::string_view data = TrimBlanks(afterName.substr(1));
        ValueLines value{name->first, IsStringData(data) ? DataKind::String : DataKind::Other,
                         lines[i].Begin + static_cast<std::size_t>(data.data() - raw.data()), i, i};
        // A long hex value goes on over lines that end with a backslash. Only a line of hex
        // bytes continues it, so that a stray backslash cannot swallow a key or value line.
        if (value.Kind == DataKind::Other) {
            while (value.LastLine + 1 < lines.size() &&
                   LineText(file, lines[value.LastLine]).ends_with('\\') &&
                   IsHexContinuation(LineText(file, lines[value.LastLine + 1]))) {
                ++value.LastLine;
            }
        }
        i = value.LastLine;
        if (inKey) {
            key.LastKeyLine = i;
            key.Values.push_back(std::move(value));
        }
    }
    return key;
}

const ValueLines* FindValue(const KeyContents& key, std::string_view name) {
    const ValueLines* found = nullptr;
    for (const ValueLines& value : key.Values) {
        if (EqualsIgnoringCase(value.Name, name)) {
            found = &value;
        }
    }
    return found;
}

// The data of a value over all its lines, without the line breaks, continuation backslashes
// and indentation.
std::string JoinedData(std::string_view file, const std::vector<TextLine>& lines,
                       const ValueLines& value) {
    std::string joined;
    for (std::size_t i = value.FirstLine; i <= value.LastLine; ++i) {
        const std::size_t begin = i == value.FirstLine ? value.DataBegin : lines[i].Begin;
        std::string_view part = TrimBlanks(file.substr(begin, lines[i].End - begin));
        if (i < value.LastLine) {
            part.remove_suffix(1);
        }
        joined += part;
    }
    return joined;
}

// hex(1) and hex(2) hold UTF-16LE text; the stores deal in single-byte characters, so a
// character beyond that range becomes "?" as the platform's conversion would make it.
std::string DecodeHexString(std::string_view hexList) {
    std::string bytes;
    while (!TrimBlanks(hexList).empty()) {
        const std::size_t comma = hexList.find(',');
        const std::string_view item = TrimBlanks(hexList.substr(0, comma));
        unsigned char byte = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), byte, 16);
        if (item.size() != 2 || error != std::errc() || end != item.data() + item.size()) {
            throw std::runtime_error("malformed hex data in the registry file");
        }
        bytes += static_cast<char>(byte);
        hexList = comma == std::string_view::npos ? std::string_view() : hexList.substr(comma + 1);
    }
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                              static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        if (unit == 0) {
            break;
        }
        text += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return text;
}

std::string ValueText(std::string_view file, const std::vector<TextLine>& lines,
                      const ValueLines& value) {
    const std::string data = JoinedData(file, lines, value);
    if (value.Kind == DataKind::String) {
        return std::string(UpToNul(ParseQuoted(data)->first));
    }
    for (std::string_view prefix : {"hex(1):", "hex(2):"}) {
        if (EqualsIgnoringCase(std::string_view(data).substr(0, prefix.size()), prefix)) {
            return DecodeHexString(std::string_view(data).substr(prefix.size()));
        }
    }
    throw std::runtime_error("the registry value is not a string");
}

bool FitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

std::optional<std::string> ReadRegistryValue(std::string_view file, std::string_view name) {
    const std::vector<TextLine> lines = SplitLines(file);
    const KeyContents key = ParseKey(file, lines);
    const ValueLines* value = FindValue(key, name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return ValueText(file, lines, *value);
}

std::string WithRegistryValue(std::string_view file, std::string_view name,
                              std::string_view value) {
    if (name.empty() || !FitsOnOneLine(name) || !FitsOnOneLine(value)) {
        throw std::invalid_argument("registry value name or text cannot be written on one line");
    }
    const std::string valueLine = Quoted(name) + "=" + Quoted(value);
    if (file.empty()) {
        return std::string(RegistryFileHeader) + "\r\n\r\n[" + std::string(RegistryFileKey) +
               "]\r\n" + valueLine + "\r\n";
    }
    const std::vector<TextLine> lines = SplitLines(file);
    const KeyContents key = ParseKey(file, lines);
    if (!key.HasHeader) {
        throw std::runtime_error("the registry file has no registry editor header");
    }
    const std::string lineBreak(LineBreakOf(file));
    std::string result(file);
    if (const ValueLines* existing = FindValue(key, name)) {
        if (existing->Kind == DataKind::String && ValueText(file, lines, *existing) == value) {
            return result;
        }
        const std::size_t end = lines[existing->LastLine].End;
        result.replace(existing->DataBegin, end - existing->DataBegin, Quoted(value));
    } else if (key.KeyFound) {
        const TextLine& last = lines[key.LastKeyLine];
        const std::string brokenBefore = last.Next == last.End ? lineBreak : "";
        result.insert(last.Next, brokenBefore + valueLine + lineBreak);
    } else {
        if (result.back() != '\n' && result.back() != '\r') {
            result += lineBreak;
        }
        if (!LineText(file, lines.back()).empty()) {
            result += lineBreak;
        }
        result += "[" + std::string(RegistryFileKey) + "]" + lineBreak + valueLine + lineBreak;
    }
    return result;
}
