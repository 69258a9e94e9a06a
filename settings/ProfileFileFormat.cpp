// Reading and in-place editing of one entry of an initialisation file.
#include "ProfileFileFormat.h"

#include <stdexcept>
#include <vector>

#include "TextLines.h"

namespace {

// Where a section's entry lies in the file, found in one pass over its lines.
struct EntryPlace {
    bool SectionFound = false;
    // The line after which a new entry goes: the last non-blank line of the section.
    TextLine LastSectionLine;
    bool EntryFound = false;
    bool HasEquals = false;
    // The trimmed raw value (or, without "=", the end of the name) in file positions.
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
};

bool StartsWithUtf16Mark(std::string_view file) {
    return file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
}

// A section header is "[name]" up to the last "]" on the line; anything after it is ignored.
std::optional<std::string_view> SectionName(std::string_view trimmedLine) {
    if (!trimmedLine.starts_with('[')) {
        return std::nullopt;
    }
    const std::size_t close = trimmedLine.rfind(']');
    if (close == 0 || close == std::string_view::npos) {
        return std::nullopt;
    }
    return UpToNul(TrimBlanks(trimmedLine.substr(1, close - 1)));
}

EntryPlace FindEntry(std::string_view file, std::string_view section, std::string_view name) {
    section = TrimBlanks(section);
    name = TrimBlanks(name);
    EntryPlace place;
    for (TextLine line : SplitLines(file)) {
        if (line.Begin == 0 && StartsWithUtf8Mark(file)) {
            line.Begin = Utf8MarkLength;
        }
        const std::string_view raw = file.substr(line.Begin, line.End - line.Begin);
        const std::string_view trimmed = TrimBlanks(raw);
        if (trimmed.empty()) {
            continue;
        }
        if (const auto header = SectionName(trimmed)) {
            // Only the first section of a name counts; the next header ends it.
            if (place.SectionFound) {
                break;
            }
            place.SectionFound = EqualsIgnoringCase(*header, section);
            place.LastSectionLine = line;
            continue;
        }
        if (!place.SectionFound) {
            continue;
        }
        place.LastSectionLine = line;
        const std::size_t trimmedBegin =
            line.Begin + static_cast<std::size_t>(trimmed.data() - raw.data());
        const std::size_t equals = trimmed.find('=');
        const std::string_view entryName = TrimBlanks(trimmed.substr(0, equals));
        if (!EqualsIgnoringCase(UpToNul(entryName), name)) {
            continue;
        }
        place.EntryFound = true;
        place.HasEquals = equals != std::string_view::npos;
        if (!place.HasEquals) {
            place.ValueBegin = place.ValueEnd = trimmedBegin + trimmed.size();
        } else {
            const std::string_view rest = trimmed.substr(equals + 1);
            const std::string_view value = TrimBlanks(rest);
            const std::size_t restBegin = trimmedBegin + equals + 1;
            place.ValueBegin =
                value.empty() ? restBegin
                              : restBegin + static_cast<std::size_t>(value.data() - rest.data());
            place.ValueEnd = place.ValueBegin + value.size();
        }
        break;
    }
    return place;
}

// One pair of matching surrounding quotes, single or double, is not part of the value.
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool FitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

void CheckStorable(std::string_view section, std::string_view name, std::string_view value) {
    const bool sectionOk = !section.empty() && TrimBlanks(section) == section &&
                           FitsOnOneLine(section) && section.find(']') == std::string_view::npos;
    const bool nameOk = !name.empty() && TrimBlanks(name) == name && FitsOnOneLine(name) &&
                        name.find('=') == std::string_view::npos && !name.starts_with('[');
    if (!sectionOk || !nameOk || !FitsOnOneLine(value)) {
        throw std::invalid_argument("section, name or value cannot be stored in an ini line");
    }
}

}  // namespace

std::optional<std::string> ReadProfileValue(std::string_view file, std::string_view section,
                                            std::string_view name) {
    if (StartsWithUtf16Mark(file)) {
        return std::nullopt;
    }
    const EntryPlace place = FindEntry(file, section, name);
    if (!place.EntryFound || !place.HasEquals) {
        return std::nullopt;
    }
    const std::string_view raw = file.substr(place.ValueBegin, place.ValueEnd - place.ValueBegin);
    return std::string(WithoutQuotes(UpToNul(raw)));
}

std::string WithProfileValue(std::string_view file, std::string_view section, std::string_view name,
                             std::string_view value) {
    CheckStorable(section, name, value);
    if (StartsWithUtf16Mark(file)) {
        throw std::runtime_error("a UTF-16 ini file is not edited");
    }
    if (ReadProfileValue(file, section, name) == value) {
        return std::string(file);
    }
    const std::string lineBreak(LineBreakOf(file));
    const std::string entry = std::string(name) + "=" + std::string(value);
    const EntryPlace place = FindEntry(file, section, name);
    std::string result(file);
    if (place.EntryFound) {
        const std::string_view equals = place.HasEquals ? "" : "=";
        result.replace(place.ValueBegin, place.ValueEnd - place.ValueBegin,
                       std::string(equals).append(value));
    } else if (place.SectionFound) {
        const TextLine& last = place.LastSectionLine;
        const std::string brokenBefore = last.Next == last.End ? lineBreak : "";
        result.insert(last.Next, brokenBefore + entry + lineBreak);
    } else {
        if (!result.empty() && result.back() != '\n' && result.back() != '\r') {
            result += lineBreak;
        }
        result.append("[").append(section).append("]").append(lineBreak);
        result.append(entry).append(lineBreak);
    }
    return result;
}
