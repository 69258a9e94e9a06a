// Reading one value of the registry export file, and editing some values of our key in place.
#include "RegistryFileFormat.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "TextLines.h"

namespace {

enum class DataKind { String, Other };

// Where the last value of one name lies in our key.
struct ValuePlace {
    bool Found = false;
    DataKind Kind = DataKind::Other;
    std::size_t DataBegin = 0;  // file position of the data after "="
    std::size_t DataEnd = 0;    // the end of the value's last line
    // The data over all its lines, without the line breaks, continuation backslashes and
    // indentation.
    std::string Data;
    bool Oversized = false;
};

// What one pass over the file finds: whether it is ours to edit, where our key ends, the last
// value of each wanted name, and what a key added at the end needs.
struct KeyContents {
    bool Empty = true;
    bool HasHeader = false;
    bool KeyFound = false;
    TextLine LastKeyLine;            // the last non-blank line of the last section of our key
    std::vector<ValuePlace> Values;  // one for each wanted name, in the same order
    std::string LineBreak = std::string(LineBreakFor(""));
    std::size_t TextEnd = 0;
    bool EndsWithBreak = false;
    bool LastLineBlank = true;
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

bool IsHexContinuation(std::string_view lineText) {
    return !lineText.empty() &&
           lineText.find_first_not_of("0123456789abcdefABCDEF, \t\\") == std::string_view::npos;
}

bool IsStringData(std::string_view data) {
    const auto quoted = ParseQuoted(data);
    return quoted && TrimBlanks(data.substr(quoted->second)).empty();
}

void NoteLine(KeyContents& key, const SourceLine& line) {
    key.Empty = false;
    key.TextEnd = line.Place.Next;
    key.EndsWithBreak = line.Place.Next != line.Place.End;
    key.LastLineBlank = TrimBlanks(line.Text).empty();
}

bool IsHeader(const SourceLine& first) {
    std::string_view text = first.Text;
    if (StartsWithUtf8Mark(text)) {
        text.remove_prefix(Utf8MarkLength);
    }
    return TrimBlanks(text) == RegistryFileHeader;
}

// The wanted name a value line of our key names, if any.
std::optional<std::size_t> WantedIndex(const std::vector<std::string_view>& wanted,
                                       std::string_view name) {
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (EqualsIgnoringCase(name, wanted[i])) {
            return i;
        }
    }
    return std::nullopt;
}

// Reads to the end unless the header is missing: where a name occurs more than once the last one
// counts.
KeyContents ParseKey(LineSource& lines, const std::vector<std::string_view>& wanted) {
    KeyContents key;
    key.Values.resize(wanted.size());
    const std::optional<SourceLine> first = lines.NextLine();
    if (!first) {
        return key;
    }
    NoteLine(key, *first);
    key.LineBreak = LineBreakFor(first->Break);
    if (!IsHeader(*first)) {
        return key;
    }
    key.HasHeader = true;
    bool inKey = false;
    // A long hex value goes on over lines that end with a backslash. Only a line of hex bytes
    // continues it, so that a stray backslash cannot swallow a key or value line.
    bool continuable = false;
    ValuePlace* continuing = nullptr;
    while (const std::optional<SourceLine> line = lines.NextLine()) {
        NoteLine(key, *line);
        const std::string_view trimmed = TrimBlanks(line->Text);
        if (continuable && IsHexContinuation(trimmed)) {
            continuable = trimmed.ends_with('\\');
            if (inKey) {
                key.LastKeyLine = line->Place;
            }
            if (continuing != nullptr) {
                // Longer than any text of ours: read as not a string, and replaced whole.
                continuing->Oversized =
                    continuing->Oversized || continuing->Data.size() > LongestLine;
                if (!continuing->Oversized) {
                    continuing->Data.pop_back();
                    continuing->Data += trimmed;
                }
                continuing->DataEnd = line->Place.End;
            }
            continue;
        }
        continuable = false;
        continuing = nullptr;
        if (trimmed.starts_with('[') && trimmed.ends_with(']')) {
            inKey = EqualsIgnoringCase(trimmed.substr(1, trimmed.size() - 2), RegistryFileKey);
            key.KeyFound = key.KeyFound || inKey;
            if (inKey) {
                key.LastKeyLine = line->Place;
            }
            continue;
        }
        if (!trimmed.empty() && inKey) {
            key.LastKeyLine = line->Place;
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
        const DataKind kind = IsStringData(data) ? DataKind::String : DataKind::Other;
        continuable = kind == DataKind::Other && trimmed.ends_with('\\');
        const std::optional<std::size_t> index =
            inKey ? WantedIndex(wanted, name->first) : std::nullopt;
        if (index) {
            ValuePlace& value = key.Values[*index];
            value.Found = true;
            value.Kind = kind;
            value.DataBegin =
                line->Place.Begin + static_cast<std::size_t>(data.data() - line->Text.data());
            value.DataEnd = line->Place.End;
            value.Data = data;
            value.Oversized = line->Cut;
            continuing = continuable ? &value : nullptr;
        }
    }
    return key;
}

// hex(1) and hex(2) hold UTF-16LE text.
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
        text += SingleByteOf(unit);
    }
    return text;
}

std::string ValueText(const ValuePlace& value) {
    if (value.Oversized) {
        throw std::runtime_error("the registry value is too long");
    }
    if (value.Kind == DataKind::String) {
        return std::string(UpToNul(ParseQuoted(value.Data)->first));
    }
    for (std::string_view prefix : {"hex(1):", "hex(2):"}) {
        if (EqualsIgnoringCase(std::string_view(value.Data).substr(0, prefix.size()), prefix)) {
            return DecodeHexString(std::string_view(value.Data).substr(prefix.size()));
        }
    }
    throw std::runtime_error("the registry value is not a string");
}

// The names of the values; throws when one cannot be written on one line, or when two would name
// the same value.
std::vector<std::string_view> CheckedNames(const SettingValues& values) {
    std::vector<std::string_view> names;
    for (const auto& [name, value] : values) {
        if (name.empty() || !FitsOnOneLine(name) || !FitsOnOneLine(value) ||
            WantedIndex(names, name)) {
            throw std::invalid_argument(
                "registry value name or text cannot be written on one line");
        }
        names.push_back(name);
    }
    return names;
}

}  // namespace

std::optional<std::string> ReadRegistryValue(LineSource& file, std::string_view name) {
    const KeyContents key = ParseKey(file, {name});
    if (!key.Values.front().Found) {
        return std::nullopt;
    }
    return ValueText(key.Values.front());
}

std::vector<std::optional<std::string>> ReadRegistryStrings(LineSource& file,
                                                            const std::vector<std::string>& names) {
    const KeyContents key = ParseKey(file, {names.begin(), names.end()});
    std::vector<std::optional<std::string>> texts;
    for (const ValuePlace& value : key.Values) {
        std::optional<std::string> text;
        try {
            text = value.Found ? std::optional<std::string>(ValueText(value)) : std::nullopt;
        } catch (const std::runtime_error&) {
            // Not a string: missing as far as the text goes.
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

TextEdits RegistryValuesEdit(LineSource& file, const SettingValues& values) {
    const KeyContents key = ParseKey(file, CheckedNames(values));
    if (!key.Empty && !key.HasHeader) {
        throw std::runtime_error("the registry file has no registry editor header");
    }
    // An empty file has CR LF, as a new file gets.
    const std::string& lineBreak = key.LineBreak;
    TextEdits edits;
    std::string added;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& [name, value] = values[i];
        const ValuePlace& place = key.Values[i];
        if (!place.Found) {
            added += Quoted(name) + "=" + Quoted(value) + lineBreak;
        } else if (place.Kind != DataKind::String || ValueText(place) != value) {
            edits.push_back({place.DataBegin, place.DataEnd, Quoted(value)});
        }
    }
    // Values come in the order the caller named them, not in the order the file has them.
    std::sort(edits.begin(), edits.end(),
              [](const TextEdit& a, const TextEdit& b) { return a.Begin < b.Begin; });
    if (added.empty()) {
        return edits;
    }
    if (key.Empty) {
        return {{0, 0,
                 std::string(RegistryFileHeader) + lineBreak + lineBreak + "[" +
                     std::string(RegistryFileKey) + "]" + lineBreak + added}};
    }
    if (key.KeyFound) {
        const TextLine& last = key.LastKeyLine;
        const std::string brokenBefore = last.Next == last.End ? lineBreak : "";
        edits.push_back({last.Next, last.Next, brokenBefore + added});
        return edits;
    }
    std::string newKey = key.EndsWithBreak ? "" : lineBreak;
    if (!key.LastLineBlank) {
        newKey += lineBreak;
    }
    newKey += "[" + std::string(RegistryFileKey) + "]" + lineBreak + added;
    edits.push_back({key.TextEnd, key.TextEnd, newKey});
    return edits;
}
