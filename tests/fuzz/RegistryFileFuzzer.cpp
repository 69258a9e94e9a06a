// Any bytes as the registry file: reading never crashes, a file the write refuses is one that
// reads as holding nothing, and a write reads back as written, is not repeated by a second write
// and leaves the other values as they read before.
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
#include "RegistryFileFormat.h"
#include "SettingsFileText.h"

namespace {

constexpr std::array<std::string_view, 7> Values = {"741",       "",      "-50",     " 5 ",
                                                    "a\"b\\c\\", "\"q\"", "\xe4\xf6"};

constexpr std::array<std::string_view, 28> Fragments = {
    "Windows Registry Editor Version 5.00",
    "[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]",
    "[hkey_current_user\\software\\tembra-lidorn]",
    "[HKEY_CURRENT_USER\\Software\\Other]",
    "\"CalcLeft\"=",
    "\"calcleft\" = ",
    "\"CalcTop\"=",
    "\"Other\"=",
    "\"5\"",
    "\"a\\\\b\\\"\"",
    "dword:0000012c",
    "hex:01,02,",
    "hex(2):31,00,",
    "00,00",
    "\\",
    "\r\n",
    "\n",
    "\r",
    " ",
    "=",
    "\"",
    "-",
    "@",
    ";",
    std::string_view("\0", 1),
    "\xEF\xBB\xBF",
    "x",
    "hex(1):"};

// How a value reads, failures included, as one comparable text.
std::string Outcome(std::string_view file, std::string_view name) {
    try {
        const std::optional<std::string> value = ReadRegistryValue(file, name);
        return value ? "value \"" + *value + "\"" : "missing";
    } catch (const std::runtime_error&) {
        return "not a string";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<SettingsFuzzInput> input = SettingsInput(data, size, Values, Fragments);
    if (!input) {
        return 0;
    }
    const std::string_view value = input->Value;
    const std::string& file = input->File;

    const std::string before = Outcome(file, "CalcLeft");
    std::string after;
    try {
        after = WithRegistryValue(file, "CalcLeft", value);
    } catch (const std::runtime_error&) {
        Require(!file.empty() && before == "missing" && Outcome(file, "CalcTop") == "missing",
                "a refused file holds nothing", file);
        return 0;
    }
    Require(Outcome(after, "CalcLeft") == "value \"" + std::string(value) + "\"",
            "the written value reads back", Outcome(after, "CalcLeft"));
    Require(WithRegistryValue(after, "CalcLeft", value) == after,
            "writing the stored value changes nothing", after);
    for (const std::string_view name : {"CalcTop", "Other", "calcleftx"}) {
        Require(Outcome(after, name) == Outcome(file, name), "other values read as before",
                std::string(name));
    }
    return 0;
}
