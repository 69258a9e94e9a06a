// Any bytes as "Quenvik.ini": reading never crashes, and a write changes only the entry's line
// (or adds lines), reads back as written, is not repeated by a second write, and leaves every
// other entry as it read before.
//
// Input: the first byte picks the value to write, the rest makes the file (FragmentInput.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "FragmentInput.h"
#include "FuzzRequire.h"
#include "ProfileFileFormat.h"
#include "SettingsFileText.h"

namespace {

// Values that read back unchanged: no surrounding blanks or quotes, nothing that ends a line.
constexpr std::array<std::string_view, 7> Values = {"741",     "",       "-50",     "$FF",
                                                    "a=b ; c", "x'y\"z", "\xe4\xf6"};

// The entries whose reading a write of CalcLeft must not disturb.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> Others = {
    {{"Einstellungen", "CalcTop"},
     {"Other", "CalcLeft"},
     {"", "CalcLeft"},
     {"einstellungen ", "x"}}};

constexpr std::array<std::string_view, 24> Fragments = {"[Einstellungen]",
                                                        "[ einstellungen ]",
                                                        "[Other]",
                                                        "[",
                                                        "]",
                                                        "CalcLeft",
                                                        "calcleft",
                                                        "CalcTop",
                                                        "x",
                                                        "=",
                                                        "5",
                                                        "\"",
                                                        "'",
                                                        " ",
                                                        "\t",
                                                        ";",
                                                        "\r\n",
                                                        "\n",
                                                        "\r",
                                                        std::string_view("\0", 1),
                                                        "\xEF\xBB\xBF",
                                                        "\xFF\xFE",
                                                        "\x1a",
                                                        "[]"};

std::string Shown(const std::optional<std::string>& value) {
    return value ? "\"" + *value + "\"" : "missing";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<SettingsFuzzInput> input = SettingsInput(data, size, Values, Fragments);
    if (!input) {
        return 0;
    }
    const std::string_view value = input->Value;
    const std::string& file = input->File;

    static_cast<void>(ReadProfileValue(file, "Einstellungen", "CalcLeft"));
    std::string after;
    try {
        after = WithProfileValue(file, "Einstellungen", "CalcLeft", value);
    } catch (const std::runtime_error&) {
        Require(file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF"),
                "only UTF-16 text is refused", file);
        return 0;
    }
    const std::optional<std::string> reread = ReadProfileValue(after, "Einstellungen", "CalcLeft");
    Require(reread == value, "the written value reads back", Shown(reread));
    Require(WithProfileValue(after, "Einstellungen", "CalcLeft", value) == after,
            "writing the stored value changes nothing", after);

    // Whatever was taken out lies within one line: no line of the file is lost.
    std::size_t prefix = 0;
    while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < file.size() - prefix && suffix < after.size() - prefix &&
           file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed =
        std::string_view(file).substr(prefix, file.size() - prefix - suffix);
    Require(removed.find_first_of("\r\n") == std::string_view::npos, "no line break is removed",
            std::string(removed));

    for (const auto& [section, name] : Others) {
        Require(ReadProfileValue(after, section, name) == ReadProfileValue(file, section, name),
                "other entries read as before", std::string(section) + "/" + std::string(name));
    }
    return 0;
}
