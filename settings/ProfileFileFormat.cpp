// Reading and in-place editing of one entry of an initialisation file.
#include "ProfileFileFormat.h"

#include <stdexcept>

namespace {

// Where a section's entry lies in the file, found in one pass over its lines.
struct EntryPlace {
    bool Utf16Marked = false;
    bool SectionFound = false;
    // The line after which a new entry goes: the last non-blank line of the section.
    TextLine LastSectionLine;
    bool EntryFound = false;
    bool HasEquals = false;
    // The trimmed raw value (or, without "=", the end of the name) in file positions.
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
    std::string RawValue;
    // What a section added at the end needs; known when the whole file was read.
    std::string LineBreak = std::string(LineBreakFor(""));
    std::size_t TextEnd = 0;
    bool EndsWithBreak = false;
};

bool StartsWithUtf16Mark(std::string_view text) {
    return text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
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

// Stops at the entry, at the end of the first matching section, or at a UTF-16 mark.
EntryPlace FindEntry(LineSource& lines, std::string_view section, std::string_view name) {
    section = TrimBlanks(section);
    name = TrimBlanks(name);
    EntryPlace place;
    bool first = true;
    while (const std::optional<SourceLine> next = lines.NextLine()) {
        std::string_view raw = next->Text;
        TextLine line = next->Place;
        if (first) {
            first = false;
            place.LineBreak = LineBreakFor(next->Break);
            if (StartsWithUtf16Mark(raw)) {
                place.Utf16Marked = true;
                break;
            }
            if (StartsWithUtf8Mark(raw)) {
                raw.remove_prefix(Utf8MarkLength);
                line.Begin += Utf8MarkLength;
            }
        }
        place.TextEnd = line.Next;
        place.EndsWithBreak = line.Next != line.End;
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
        const std::size_t equals = trimmed.find('=');
        const std::string_view entryName = TrimBlanks(trimmed.substr(0, equals));
        if (!EqualsIgnoringCase(UpToNul(entryName), name)) {
            continue;
        }
        place.EntryFound = true;
        place.HasEquals = equals != std::string_view::npos;
        std::string_view value = trimmed.substr(trimmed.size());
        if (place.HasEquals) {
            const std::string_view rest = trimmed.substr(equals + 1);
            value = TrimBlanks(rest);
            if (value.empty()) {
                value = rest.substr(0, 0);
            }
        }
        place.ValueBegin = line.Begin + static_cast<std::size_t>(value.data() - raw.data());
        place.ValueEnd = place.ValueBegin + value.size();
        place.RawValue = value;
        break;
    }
    return place;
}

std::optional<std::string> StoredValue(const EntryPlace& place) {
    if (place.Utf16Marked || !place.EntryFound || !place.HasEquals) {
        return std::nullopt;
    }
    // One pair of matching surrounding quotes, single or double, is not part of the value.
    std::string_view value = UpToNul(place.RawValue);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
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

std::optional<std::string> ReadProfileValue(LineSource& file, std::string_view section,
                                            std::string_view name) {
    return StoredValue(FindEntry(file, section, name));
}

std::optional<TextEdit> ProfileValueEdit(LineSource& file, std::string_view section,
                                         std::string_view name, std::string_view value) {
    CheckStorable(section, name, value);
    const EntryPlace place = FindEntry(file, section, name);
    if (place.Utf16Marked) {
        throw std::runtime_error("a UTF-16 ini file is not edited");
    }
    if (StoredValue(place) == value) {
        return std::nullopt;
    }
    const std::string& lineBreak = place.LineBreak;
    const std::string entry = std::string(name) + "=" + std::string(value);
    if (place.EntryFound) {
        const std::string_view equals = place.HasEquals ? "" : "=";
        return TextEdit{place.ValueBegin, place.ValueEnd, std::string(equals).append(value)};
    }
    if (place.SectionFound) {
        const TextLine& last = place.LastSectionLine;
        const std::string brokenBefore = last.Next == last.End ? lineBreak : "";
        return TextEdit{last.Next, last.Next, brokenBefore + entry + lineBreak};
    }
    std::string added = place.TextEnd > 0 && !place.EndsWithBreak ? lineBreak : "";
    added.append("[").append(section).append("]").append(lineBreak);
    added.append(entry).append(lineBreak);
    return TextEdit{place.TextEnd, place.TextEnd, added};
}

std::optional<std::string> ReadProfileValue(std::string_view file, std::string_view section,
                                            std::string_view name) {
    TextLineSource lines(file);
    return ReadProfileValue(lines, section, name);
}

std::string WithProfileValue(std::string_view file, std::string_view section, std::string_view name,
                             std::string_view value) {
    TextLineSource lines(file);
    return Applied(file, ProfileValueEdit(lines, section, name, value));
}
