// Any bytes as an XSETTINGS property, as another program may write it: the reader either finds
// nothing or a value that lies within the property. A crash or a read past the end
// (AddressSanitizer) is a bug. The first byte picks the name looked for, so that names in the
// seeds and in the fuzzer's own findings are both reached.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "FuzzRequire.h"
#include "XSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    constexpr std::array<std::string_view, 3> names{"Net/ThemeName", "Xft/DPI", ""};
    const std::string_view name = names[data[0] % names.size()];
    const std::span<const std::uint8_t> property(data + 1, size - 1);
    const std::optional<std::string> value = XSettingsString(property, name);
    if (value) {
        const std::string_view bytes(reinterpret_cast<const char*>(property.data()),
                                     property.size());
        Require(value->size() + name.size() + 16 <= property.size(),
                "a value and its name fit in the property with the headers", *value);
        Require(bytes.find(*value) != std::string_view::npos, "a value is bytes of the property",
                *value);
    }
    return 0;
}
