// Reading one entry of an initialisation file, and editing some entries of one section in place.
#include "ProfileFileFormat.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Where one entry lies in the file.
struct EntryPlace {
    bool Found = false;
    bool HasEquals = false;
    // The trimmed raw value (or, without "=", the end of the name) in file positions.
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
    std::string RawValue;
};

// Where a section and some of its entries lie in the file, found in one pass over its lines.
struct SectionPlace {
    bool Utf16Marked = false;
    bool SectionFound = false;
    // The line after which new entries go: the last non-blank line of the section.
    TextLine LastSectionLine;
    std::vector<EntryPlace> Entries;  // one for each name asked for, in the same order
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

// The first entry of one of `names` on a line of the section, if the line is one.
void NoteEntry(SectionPlace& place, const std::vector<std::string_view>& names,
               std::string_view raw, std::string_view trimmed, const TextLine& line, bool cut) {
    const std::size_t equals = trimmed.find('=');
    const std::string_view entryName = UpToNul(TrimBlanks(trimmed.substr(0, equals)));
    for (std::size_t i = 0; i < names.size(); ++i) {
        EntryPlace& entry = place.Entries[i];
        if (entry.Found || !EqualsIgnoringCase(entryName, names[i])) {
            continue;
        }
        entry.Found = true;
        entry.HasEquals = equals != std::string_view::npos;
        std::string_view value = trimmed.substr(trimmed.size());
        if (entry.HasEquals) {
            const std::string_view rest = trimmed.substr(equals + 1);
            value = TrimBlanks(rest);
            if (value.empty()) {
                value = rest.substr(0, 0);
            }
        }
        entry.ValueBegin = line.Begin + static_cast<std::size_t>(value.data() - raw.data());
        // Of a cut line the value runs to the line's end, so that a write replaces all of it.
        entry.ValueEnd = cut ? line.End : entry.ValueBegin + value.size();
        entry.RawValue = value;
        return;
    }
}

bool AllFound(const SectionPlace& place) {
    return std::all_of(place.Entries.begin(), place.Entries.end(),
                       [](const EntryPlace& entry) { return entry.Found; });
}

// Stops once every entry is found, at the end of the first matching section, or at a UTF-16
// mark.
SectionPlace FindEntries(LineSource& lines, std::string_view section,
                         std::vector<std::string_view> names) {
    section = TrimBlanks(section);
    for (std::string_view& name : names) {
        name = TrimBlanks(name);
    }
    SectionPlace place;
    place.Entries.resize(names.size());
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
        NoteEntry(place, names, raw, trimmed, line, next->Cut);
        if (AllFound(place)) {
            break;
        }
    }
    return place;
}

std::optional<std::string> StoredValue(const EntryPlace& entry) {
    if (!entry.Found || !entry.HasEquals) {
        return std::nullopt;
    }
    // One pair of matching surrounding quotes, single or double, is not part of the value.
    std::string_view value = UpToNul(entry.RawValue);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// The names of the values; throws when one cannot be stored in an ini line, or when two would
// name the same entry.
std::vector<std::string_view> CheckedNames(std::string_view section, const SettingValues& values) {
    const bool sectionOk = !section.empty() && TrimBlanks(section) == section &&
                           FitsOnOneLine(section) && section.find(']') == std::string_view::npos;
    std::vector<std::string_view> names;
    for (const auto& [name, value] : values) {
        const bool nameOk = !name.empty() && TrimBlanks(name) == name && FitsOnOneLine(name) &&
                            name.find('=') == std::string_view::npos && !name.starts_with('[');
        const std::string_view newName = name;
        const bool distinct = std::none_of(names.begin(), names.end(), [&](std::string_view seen) {
            return EqualsIgnoringCase(seen, newName);
        });
        if (!sectionOk || !nameOk || !FitsOnOneLine(value) || !distinct) {
            throw std::invalid_argument("section, name or value cannot be stored in an ini line");
        }
        names.push_back(name);
    }
    return names;
}

}  // namespace

std::optional<std::string> ReadProfileValue(LineSource& file, std::string_view section,
                                            std::string_view name) {
    return ReadProfileValues(file, section, {std::string(name)}).front();
}

std::vector<std::optional<std::string>> ReadProfileValues(LineSource& file,
                                                          std::string_view section,
                                                          const std::vector<std::string>& names) {
    const SectionPlace place = FindEntries(file, section, {names.begin(), names.end()});
    std::vector<std::optional<std::string>> values;
    for (const EntryPlace& entry : place.Entries) {
        values.push_back(place.Utf16Marked ? std::nullopt : StoredValue(entry));
    }
    return values;
}

TextEdits ProfileValuesEdit(LineSource& file, std::string_view section,
                            const SettingValues& values) {
    const SectionPlace place = FindEntries(file, section, CheckedNames(section, values));
    if (place.Utf16Marked) {
        throw std::runtime_error("a UTF-16 ini file is not edited");
    }
    const std::string& lineBreak = place.LineBreak;
    TextEdits edits;
    std::string added;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto& [name, value] = values[i];
        const EntryPlace& entry = place.Entries[i];
        if (!entry.Found) {
            added.append(name).append("=").append(value).append(lineBreak);
        } else if (StoredValue(entry) != value) {
            const std::string_view equals = entry.HasEquals ? "" : "=";
            edits.push_back({entry.ValueBegin, entry.ValueEnd, std::string(equals).append(value)});
        }
    }
    // Entries come in the order the caller named them, not in the order the file has them.
    std::sort(edits.begin(), edits.end(),
              [](const TextEdit& a, const TextEdit& b) { return a.Begin < b.Begin; });
    if (added.empty()) {
        return edits;
    }
    if (place.SectionFound) {
        const TextLine& last = place.LastSectionLine;
        const std::string brokenBefore = last.Next == last.End ? lineBreak : "";
        edits.push_back({last.Next, last.Next, brokenBefore + added});
        return edits;
    }
    std::string newSection = place.TextEnd > 0 && !place.EndsWithBreak ? lineBreak : "";
    newSection.append("[").append(section).append("]").append(lineBreak).append(added);
    edits.push_back({place.TextEnd, place.TextEnd, newSection});
    return edits;
}
